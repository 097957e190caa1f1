// Every window as assistive technology sees it: walks the accessible tree of
// each window in-process and checks that what is shown is what is told,
// that every control has a name, and that Tab reaches every control once a
// round (on the main window in the order of its layout; the other windows'
// orders are their own setTabOrder chains, not copied here).
#include "bill_files.h"
#include "item_fixtures.h"
#include "main_window_fixture.h"
#include "qstring_printer.h"
#include "sample_ledger.h"
#include "test_support.h"

#include "app/feature_list.h"
#include "base/clock.h"
#include "history/ui/history_window.h"
#include "import/books/ui/bank_mapping_window.h"
#include "import/books/ui/import_window.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "input/ui/entry_dialog.h"
#include "journal/ui/journal_window.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "ledger/restore/ui/restore_window.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "panel/ui/category_panel.h"
#include "reports/graph/ui/graph_window.h"
#include "reports/stock/ui/chart_picture.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/message_box.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

/// The text a label puts on the screen: rich text as plain text, and the
/// mnemonic's ampersand of a label with a buddy left out.
QString shownText(const QLabel *label)
{
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    // "&&" shows one ampersand, "&x" an underlined x.
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return label->buddy() ? text.replace(mnemonic, QStringLiteral("\\1")) : text;
}

bool isInternalPart(const QWidget *widget)
{
    // Parts Qt builds inside a control: they take the control's name.
    for (const QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent))
            return true;
    }
    return qobject_cast<const QScrollBar *>(widget) || qobject_cast<const QHeaderView *>(widget) ||
           widget->objectName().startsWith(QLatin1String("qt_"));
}

bool isControl(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QTextEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget) || qobject_cast<const QAbstractSlider *>(widget) ||
           widget->focusPolicy() & Qt::TabFocus;
}

/// Everything the accessible tree of `window` reaches.
QSet<QObject *> accessibleTree(QWidget *window)
{
    QSet<QObject *> seen;
    std::vector<QAccessibleInterface *> open{QAccessible::queryAccessibleInterface(window)};
    while (!open.empty()) {
        QAccessibleInterface *node = open.back();
        open.pop_back();
        if (!node || !node->isValid())
            continue;
        if (node->object() && seen.contains(node->object()) && node->object()->isWidgetType())
            continue;
        seen.insert(node->object());
        // An item view's cells are its own; a window inside is a window of its own.
        if (qobject_cast<QAbstractItemView *>(node->object()))
            continue;
        for (int child = 0; child < node->childCount(); ++child)
            open.push_back(node->child(child));
    }
    return seen;
}

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QString accessibleName(QObject *object)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(object);
    return node ? node->text(QAccessible::Name) : QString();
}

/// What shows on `window`, each label with its text, each control with a
/// name, all of it in the accessible tree.
void expectToldAsShown(QWidget *window)
{
    SCOPED_TRACE(window->metaObject()->className());
    const QSet<QObject *> tree = accessibleTree(window);
    int told = 0;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window) || widget->isWindow() || isInternalPart(widget))
            continue;
        const std::string where = nameOf(widget).toStdString();
        if (const auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty()) {
            ++told;
            EXPECT_TRUE(tree.contains(widget)) << where << " is not in the accessible tree";
            EXPECT_EQ(accessibleName(widget), shownText(label)) << where;
        } else if (const auto *frame = qobject_cast<QGroupBox *>(widget);
                   frame && !frame->title().isEmpty()) {
            EXPECT_EQ(accessibleName(widget), QString(frame->title()).remove(u'&')) << where;
        } else if (isControl(widget)) {
            ++told;
            EXPECT_TRUE(tree.contains(widget)) << where << " is not in the accessible tree";
            EXPECT_FALSE(accessibleName(widget).trimmed().isEmpty()) << where << " has no name";
        }
    }
    EXPECT_GT(told, 0);
    // The painted title is told too.
    if (auto *skinned = qobject_cast<skin::SkinnedWindow *>(window)) {
        EXPECT_EQ(accessibleName(skinned->captionBar), skinned->captionBar->shownTitle());
        EXPECT_FALSE(skinned->captionBar->shownTitle().isEmpty());
    }
}

QWidget *focusTarget(QWidget *widget)
{
    while (widget->focusProxy())
        widget = widget->focusProxy();
    return widget;
}

/// A tab stop by the name of its control (a category list by its panel's).
QString stopName(const QWidget *widget)
{
    const bool inPanel = qobject_cast<const panel::CategoryPanel *>(widget->parentWidget());
    return nameOf(inPanel ? widget->parentWidget() : widget);
}

/// The controls Tab visits from the window's first stop, in order, once
/// round.
QList<QWidget *> tabRound(QWidget *window)
{
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    // A window shown again after hiding may see its activation withdrawn by
    // the late deactivation of its first showing.
    if (QApplication::activeWindow() != window)
        QApplication::setActiveWindow(window);
    QList<QWidget *> visited;
    QWidget *start = nullptr;
    for (int press = 0; press < 400; ++press) {
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus->window() == window) {
            if (!start)
                start = focus;
            else if (focus == start && !visited.isEmpty() && visited.back() != focus)
                break;
            if (visited.isEmpty() || visited.back() != focus)
                visited << focus; // a page with links keeps the focus for a few presses
        }
        QTest::keyClick(focus ? focus : window, Qt::Key_Tab);
    }
    return visited;
}

/// Tab reaches every enabled control that takes the focus from the keyboard,
/// each once in a round; returns the round starting at `first`.
QStringList expectTabReachesEverything(QWidget *window, QWidget *first = nullptr)
{
    SCOPED_TRACE(window->metaObject()->className());
    const QList<QWidget *> round = tabRound(window);
    QSet<QWidget *> reached(round.cbegin(), round.cend());
    EXPECT_EQ(reached.size(), round.size()) << "a control is visited twice in one round";
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            !isInternalPart(widget) && !widget->isWindow()) {
            EXPECT_TRUE(reached.contains(focusTarget(widget)))
                << nameOf(widget).toStdString() << " is never reached";
        }
    }
    QStringList names;
    if (!first)
        return names;
    const qsizetype at = round.indexOf(focusTarget(first));
    EXPECT_GE(at, 0);
    for (qsizetype step = 0; at >= 0 && step < round.size(); ++step)
        names << stopName(round[(at + step) % round.size()]);
    return names;
}

/// The main window's fixture with two months written.
struct WindowFixture : testkit::WindowFixture {
    WindowFixture()
    {
        testkit::writeSampleMonth(QStringLiteral("2026-04"));
        testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.1);
        books = testkit::openDefaultLedger();
    }
    std::shared_ptr<store::Ledger> books;
};

/// Shows `window`: what it shows is told, and Tab reaches every control.
void expectAccessible(QWidget *window)
{
    window->show();
    expectToldAsShown(window);
    expectTabReachesEverything(window);
}

// Every window but the main window, one after another on the same ledger.
TEST(Accessibility, EveryWindowTellsWhatItShowsAndTabFollowsTheLayout)
{
    WindowFixture fixture;
    store::Ledger &books = *fixture.books;
    {
        store::LogonWindow logon;
        logon.load();
        expectAccessible(&logon);
    }
    {
        input::EntryDialog dialog;
        dialog.setTypeList({QStringLiteral("工资"), QStringLiteral("房贷")});
        dialog.setCaptions(QStringLiteral("新活动 "), QStringLiteral("确认新活动New"));
        dialog.applyCategoryMask(QStringLiteral("1111"));
        expectAccessible(&dialog);
    }
    {
        journal::JournalWindow window(books);
        expectAccessible(&window);
    }
    {
        graph::GraphWindow window;
        window.drawGraph(books);
        expectAccessible(&window);
    }
    {
        input::MonthPickerWindow window;
        window.loadMonths([&books] { return books.allMonthsTable(); });
        expectAccessible(&window);
    }
    {
        ledger::ChangePasswordWindow window(books);
        expectAccessible(&window);
        // Each password box is named by its label as shown.
        EXPECT_EQ(accessibleName(window.passwordBoxes[0]), shownText(window.labels[0]));
    }
    {
        ledger::RestoreWindow window(books, {});
        window.reload();
        expectAccessible(&window);
    }
    {
        const QString bill = fixture.folder.file(QStringLiteral("wechat.csv"));
        QFile file(bill);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bills::fixtures::weChatCsv(
            {QStringLiteral(
                 "2026-05-02 08:00:00,商户消费,菜市场,蔬菜,支出,¥12.50,零钱,支付成功,4200001,m1,/"),
             QStringLiteral("2026-05-05 08:00:00,商户消费,书店,杂志,支出,,零钱,支付成功,4200004,m4,/")}));
        file.close();
        bills::ImportWindow window(books, {});
        ASSERT_TRUE(window.openBill(bill));
        expectAccessible(&window);
    }
    {
        bills::BankMappingWindow window(books, "日期,摘要,金额\n2026-05-02,超市,-12.50\n", {});
        expectAccessible(&window);
    }
    {
        // An earlier step chosen: undoing to it can be asked for.
        for (const char *name : {"A", "B"})
            books.addItem(QStringLiteral("2026-05"),
                          testkit::itemOf(QStringLiteral("工资"), QLatin1String(name)));
        history::HistoryWindow window;
        window.showSteps(books.historySteps(), books.historyLimit());
        window.stepList->setCurrentItem(window.stepList->topLevelItem(1));
        ASSERT_TRUE(window.undoToButton->isEnabled());
        expectAccessible(&window);
    }
    {
        // No chart site is set in the fresh settings, so nothing goes out.
        stock::StockWindow window(books);
        window.setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
        window.setMonth(QStringLiteral("2026-05"));
        window.displayStock();
        ASSERT_GT(window.holdingsList->topLevelItemCount(), 0);
        window.riseOption->click();
        expectAccessible(&window);
        // The painted hint over the chart is told too.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window.picture)->text(QAccessible::Description),
                  window.picture->hint());
    }
    {
        // The message box with one button and with two.
        skin::MessageBox *box = skin::messageBox();
        box->setWindowTitle(QStringLiteral("Zambrel"));
        box->captionBar->setTitle(QStringLiteral("Zambrel"));
        box->setMessage(QStringLiteral("月结处:\r\n\r\n是否要月结? & more"));
        using enum base::MessageIcon;
        for (const auto &[buttons, icon] :
             {std::pair{base::MessageButtons::Ok, None}, {base::MessageButtons::YesNo, Question}}) {
            box->setButtons(buttons, icon);
            box->show();
            expectToldAsShown(box);
            expectTabReachesEverything(box);
            box->hide();
        }
    }
}

TEST(Accessibility, MainWindowTellsTheAdviceAndListsEveryShortcut)
{
    WindowFixture fixture;
    ledger::MainWindow *window = &fixture.open(app::registerFeatures, true, fixture.books);
    // The written assessment is read out as it is written, not by a fixed name.
    ASSERT_FALSE(window->adviceLabel->text().isEmpty());
    EXPECT_EQ(accessibleName(window->adviceLabel), window->adviceLabel->text());
    expectToldAsShown(window);

    // The enabled toolbar buttons from left to right, the categories row by
    // row, then the right-hand pane from the top.
    QStringList order;
    QToolButton *first = nullptr;
    for (const char *key : {"add", "update", "delete", "refresh", "chgSkin", "Graph"}) {
        QToolButton *button = window->button(QLatin1String(key));
        if (button->isEnabled()) {
            order << QLatin1String(key);
            first = first ? first : button;
        }
    }
    order << QStringLiteral("UCLVIncome") << QStringLiteral("UCLVPayout") << QStringLiteral("UCLVAsset")
          << QStringLiteral("UCLVDebt") << QStringLiteral("lblAdvise") << QStringLiteral("WB");
    EXPECT_EQ(expectTabReachesEverything(window, first), order);

    // Reached by Tab, the advice shows the focus by a frame and draws no
    // caret inside: its text looks as it did before; Ctrl+A, Ctrl+C copy it.
    QLabel *advice = window->adviceLabel;
    window->liabilityPanel->list->setFocus(Qt::TabFocusReason);
    ASSERT_FALSE(advice->hasFocus());
    const QImage unfocused = advice->grab().toImage();
    QTest::keyClick(window->liabilityPanel->list, Qt::Key_Tab);
    ASSERT_TRUE(advice->hasFocus());
    const QImage focused = advice->grab().toImage();
    const int margin = advice->margin();
    const QRect text = advice->contentsRect().adjusted(margin, margin, -margin, -margin);
    EXPECT_EQ(focused.copy(text), unfocused.copy(text)) << "a caret or a selection is drawn";
    EXPECT_NE(focused, unfocused) << "the focus does not show";
    QTest::keyClick(advice, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(advice, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), advice->text());

    // Every command has keys of its own, and the home page lists them.
    const QString page = window->homePage->toPlainText();
    QSet<QString> listed;
    for (QAction *action : window->actions()) {
        SCOPED_TRACE(action->text().toStdString());
        ASSERT_FALSE(action->shortcut().isEmpty()) << "no shortcut";
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        EXPECT_TRUE(page.contains(keys)) << keys.toStdString() << " is not on the home page";
        EXPECT_FALSE(listed.contains(keys)) << "two commands share " << keys.toStdString();
        listed << keys;
    }
}

} // namespace
