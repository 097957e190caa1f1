#include "sample_ledger.h"
#include "test_support.h"

#include "app/feature_list.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/message.h"
#include "host/feature_host.h"
#include "ledger/ui/main_window.h"
#include "panel/ui/category_panel.h"
#include "skin/caption_bar.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

// A program folder with a default ledger, a fixed date and scripted answers.
struct Fixture {
    explicit Fixture(QDate today = QDate(2026, 5, 15))
    {
        base::setClock([today] { return QDateTime(today, QTime(10, 0)); });
        store::ensureDefaultLedger();
    }
    ~Fixture() { base::setClock({}); }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
};

QStringList captions(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

std::unique_ptr<ledger::MainWindow> openWindow()
{
    auto window = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
    window->load();
    return window;
}

// Whether some ledger object still holds the file.
bool ledgerIsHeld(const QString &path)
{
    try {
        store::Ledger probe(path, {});
        return false;
    } catch (const store::DbError &) {
        return true;
    }
}

// The strongest difference in brightness between a button's caption (the
// lower half, under its picture) and the most common colour there, as the
// window shows it.
int captionContrast(QWidget *window, QToolButton *toolButton)
{
    const QImage picture = window->grab().toImage();
    const QRect whole(toolButton->mapTo(window, QPoint(0, 0)), toolButton->size());
    const QRect caption(whole.left(), whole.center().y(), whole.width(), whole.height() / 2);
    QHash<QRgb, int> counts;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x)
            ++counts[picture.pixel(x, y)];
    QRgb surface = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            surface = it.key();
        }
    }
    int contrast = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        contrast = qMax(contrast, qAbs(qGray(it.key()) - qGray(surface)));
    return contrast;
}

int itemRows(const panel::CategoryPanel *panel)
{
    int items = 0;
    for (int row = 0; row < panel->list->topLevelItemCount(); ++row)
        items += panel->list->topLevelItem(row)->text(1).isEmpty() ? 0 : 1;
    return items;
}

} // namespace

TEST(MainWindow, MonthMenuHoldsTheFixedEntriesThenTheNewest24Months)
{
    Fixture fixture;
    for (int month = 0; month < 26; ++month)
        testkit::writeManyItems(QDate(2024, 3, 1).addMonths(month).toString(QStringLiteral("yyyy-MM")), 1);
    auto window = openWindow();
    for (const char *key : {"add", "update", "delete", "Graph"})
        EXPECT_FALSE(window->button(QString::fromLatin1(key))->isEnabled())
            << key << " waits for its feature";
    EXPECT_TRUE(window->button(QStringLiteral("refresh"))->isEnabled());
    app::registerFeatures(*window);

    // The features' entries, then the months, newest first.
    const QStringList menu = captions(window->monthMenu());
    ASSERT_EQ(menu.size(), 12 + 24);
    EXPECT_EQ(
        menu.mid(0, 12),
        (QStringList{QStringLiteral("撤销 Undo"), QStringLiteral("重做 Redo"),
                     QStringLiteral("历史 History…"), QStringLiteral("核对股票"), QStringLiteral("日志"),
                     QStringLiteral("回看"), QStringLiteral("更换密码"), QStringLiteral("选择另外一个帐本"),
                     QStringLiteral("备份当前账本"), QStringLiteral("恢复 Restore…"),
                     QStringLiteral("导入账单 Import…"), QStringLiteral("导出 CSV Export")}));
    EXPECT_EQ(menu[12], QStringLiteral("2026-04"));
    EXPECT_EQ(menu.last(), QStringLiteral("2024-05"));
    EXPECT_EQ(window->monthMenu()->actions()[12]->data().toString(), QStringLiteral("M2026-04"));
}

TEST(MainWindow, ChoosingAMonthReloadsItEvenWhenItIsTheCurrentOne)
{
    Fixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    auto window = openWindow();
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-05"));
    EXPECT_EQ(window->button(QStringLiteral("refresh"))->text(), QStringLiteral("2026-05"));
    const int incomeItems = itemRows(window->incomePanel);
    EXPECT_GT(incomeItems, 0);
    EXPECT_FALSE(window->adviceLabel->text().isEmpty());

    // A change behind the view shows once the current month is chosen again.
    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1)); // one more salary
    QAction *current = nullptr;
    for (QAction *action : window->monthMenu()->actions())
        if (action->text() == QLatin1String("2026-05"))
            current = action;
    ASSERT_NE(current, nullptr);
    current->trigger();
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems + 1);

    QAction *april = window->monthMenu()->actions()[1];
    ASSERT_EQ(april->text(), QStringLiteral("2026-04"));
    april->trigger();
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-04"));
    EXPECT_EQ(window->button(QStringLiteral("refresh"))->text(), QStringLiteral("2026-04"));
    EXPECT_EQ(itemRows(window->incomePanel), incomeItems);
}

TEST(MainWindow, NewMonthAtStartUpIsCarriedForwardOnlyWhenTheAnswerIsYes)
{
    for (const base::MessageAnswer answer : {base::MessageAnswer::Yes, base::MessageAnswer::No}) {
        Fixture fixture(QDate(2026, 6, 2));
        testkit::writeSampleMonth(QStringLiteral("2026-05"));
        // While the question is up the window is disabled and says why.
        QString captionWhileAsking;
        bool enabledWhileAsking = true;
        const base::MessagePresenter scripted =
            base::setMessageResponder([&](const base::MessageRequest &request) {
                for (QWidget *shown : QApplication::topLevelWidgets()) {
                    if (auto *asking = qobject_cast<ledger::MainWindow *>(shown)) {
                        captionWhileAsking = asking->windowTitle();
                        enabledWhileAsking = asking->isEnabled();
                    }
                }
                EXPECT_TRUE(request.text.contains(QStringLiteral("是否要月结")));
                return answer;
            });
        auto window = openWindow();
        base::setMessageResponder(scripted);
        EXPECT_EQ(captionWhileAsking, QStringLiteral("月结处理中....."));
        EXPECT_FALSE(enabledWhileAsking);
        EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-06"));
        EXPECT_EQ(window->windowTitle(), base::productName());
        const bool carried = answer == base::MessageAnswer::Yes;
        EXPECT_EQ(!window->ledger().monthItems(QStringLiteral("2026-06")).empty(), carried);
        EXPECT_EQ(itemRows(window->incomePanel) > 0, carried);
        EXPECT_EQ(captions(window->monthMenu()).contains(QStringLiteral("2026-06")), carried);
        EXPECT_TRUE(window->isEnabled());
    }
}

TEST(MainWindow, SkinMenuListsTheSkinFilesAndAnEmptyFolderGivesNone)
{
    Fixture fixture;
    QDir(fixture.folder.path()).mkpath(QStringLiteral("skins"));
    base::setSkinsFolder(fixture.folder.file(QStringLiteral("skins")));
    {
        auto window = openWindow();
        EXPECT_TRUE(window->skinMenu()->actions().isEmpty());
    }
    for (const char *name : {"b.jss", "a.jss", "notes.txt"}) {
        QFile file(fixture.folder.file(QStringLiteral("skins/") + QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    auto window = openWindow();
    EXPECT_EQ(captions(window->skinMenu()), (QStringList{"a", "b"}));

    window->skinMenu()->actions()[1]->trigger();
    const QString chosen = fixture.folder.file(QStringLiteral("skins/b.jss"));
    EXPECT_EQ(base::settingsValue(QStringLiteral("skin"), QStringLiteral("skin")), chosen);
    EXPECT_EQ(base::currentSkinPath(), chosen);
    base::setSkinsFolder({});
}

// A damaged skin in the settings once left every window black on black
// without a caption bar; now the window wears a shipped skin and the status
// line names the one that could not be read.
TEST(MainWindow, ADamagedSkinIsReplacedAndTheStatusLineSaysWhichOne)
{
    Fixture fixture;
    const QString damaged = fixture.folder.file(QStringLiteral("damaged.jss"));
    QFile shipped(base::defaultSkinPath());
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(shipped.read(shipped.size() / 3)); // cut short
    file.close();
    base::setCurrentSkinPath(damaged);

    auto window = openWindow();
    EXPECT_EQ(window->captionBar->skinPath(), base::defaultSkinPath());
    EXPECT_GT(window->captionBar->barHeight(), 0);
    window->show(); // the month's own status comes first while the window opens
    EXPECT_EQ(window->statusPanelText(1), QStringLiteral("无法读取皮肤 Cannot read the skin： ") + damaged);
    window->refresh();
    EXPECT_NE(window->statusPanelText(1), QStringLiteral("无法读取皮肤 Cannot read the skin： ") + damaged)
        << "said once";

    // Chosen from the menu while the window shows: said at once.
    window->applySkin(damaged);
    EXPECT_EQ(window->statusPanelText(1), QStringLiteral("无法读取皮肤 Cannot read the skin： ") + damaged);
}

// On a dark skin the toolbar once wrote its enabled captions in black on the
// dark surface and its disabled ones in light grey.
TEST(MainWindow, ToolbarCaptionsReadOnEverySkinAndDisabledOnesLookDimmer)
{
    Fixture fixture;
    auto window = openWindow();
    app::registerFeatures(*window);
    window->prepareToolbarImages();
    window->show();
    const QStringList skins = QDir(base::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files);
    ASSERT_GE(skins.size(), 3);
    for (const QString &skinFile : skins) {
        window->applySkin(base::skinsFolder() + QLatin1Char('/') + skinFile);
        QToolButton *enabled = window->button(QStringLiteral("add"));
        QToolButton *disabled = window->button(QStringLiteral("update"));
        ASSERT_TRUE(enabled->isEnabled());
        ASSERT_FALSE(disabled->isEnabled());
        const int readable = captionContrast(window.get(), enabled);
        EXPECT_GE(readable, 100) << qPrintable(skinFile);
        EXPECT_LT(captionContrast(window.get(), disabled), readable) << qPrintable(skinFile);
    }
    window->setSwitchingLedger(true);
}

// At the smallest size the month's status line does not fit its panel; the
// part cut off must still be readable.
TEST(MainWindow, AStatusLineCutOffAtTheSmallestSizeCanBeReadInFull)
{
    Fixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.1);
    auto window = openWindow();
    window->show();
    window->resize(1, 1); // snaps back to the minimum size
    window->refresh();

    QLabel *first = nullptr;
    for (QLabel *label : window->statusBar->findChildren<QLabel *>()) {
        if (label->accessibleDescription() == QStringLiteral("状态 Status"))
            first = label;
    }
    ASSERT_NE(first, nullptr);
    const QString line = window->statusPanelText(1);
    ASSERT_TRUE(line.startsWith(QStringLiteral("月现金收支为")));
    ASSERT_GT(first->fontMetrics().horizontalAdvance(line), first->width()) << "the line is cut at this size";
    EXPECT_EQ(first->toolTip(), line);
    window->setSwitchingLedger(true);
}

TEST(MainWindow, ExitAsksAndKeepsTheLedgerOnNoWhileSwitchingLedgersAsksNothing)
{
    for (const bool switching : {false, true}) {
        Fixture fixture;
        auto window = openWindow();
        window->show();
        QSignalSpy ending(window.get(), &ledger::MainWindow::programEnding);
        if (switching) {
            window->setSwitchingLedger(true);
            EXPECT_TRUE(window->close());
            EXPECT_TRUE(fixture.responder.shown().empty());
            EXPECT_EQ(ending.count(), 0);
            EXPECT_FALSE(ledgerIsHeld(base::defaultLedgerPath()));
            continue;
        }
        fixture.responder.answer(base::MessageAnswer::No);
        EXPECT_FALSE(window->close());
        ASSERT_EQ(fixture.responder.shown().size(), 1u);
        EXPECT_EQ(fixture.responder.shown()[0].text, QStringLiteral("是否退出 Are you sure exit？"));
        EXPECT_EQ(fixture.responder.shown()[0].icon, base::MessageIcon::Question);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(ledgerIsHeld(base::defaultLedgerPath()));
        EXPECT_EQ(ending.count(), 0);

        fixture.responder.answer(base::MessageAnswer::Yes);
        EXPECT_TRUE(window->close());
        EXPECT_FALSE(ledgerIsHeld(base::defaultLedgerPath()));
        EXPECT_EQ(ending.count(), 1);
        EXPECT_EQ(window->monthView(), nullptr);
    }
}

// A feature's action goes where the feature says: a toolbar button shows
// it (caption, tip, enabled state), a month menu entry stands among the
// other commands by its order and above the months, or only its shortcut
// works. A failure escaping a command is reported once, on its place's road.
TEST(MainWindow, FeaturesPlaceTheirActionsAndFailuresAreReportedOnTheirRoad)
{
    using host::CommandPlace;
    Fixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    auto window = openWindow();
    QToolButton *graphButton = window->button(QStringLiteral("Graph"));
    EXPECT_FALSE(graphButton->isEnabled()) << "no command has taken it yet";
    EXPECT_EQ(window->command(QStringLiteral("refresh"))->shortcut(), QKeySequence(Qt::Key_F5));

    const auto newAction = [&window](const char *name, const char *caption) {
        auto *action = new QAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    int graphs = 0;
    QAction *graph = window->addCommand(CommandPlace::toolbar(QStringLiteral("Graph")),
                                        newAction("Graph", "画图"), [&graphs] { ++graphs; });
    EXPECT_EQ(graph->parent(), window.get());
    EXPECT_EQ(window->command(QStringLiteral("Graph")), graph);
    EXPECT_EQ(graphButton->text(), QStringLiteral("画图"));
    EXPECT_TRUE(graphButton->toolTip().isEmpty()) << "no tip was given";
    QTest::mouseClick(graphButton, Qt::LeftButton);
    graph->trigger();
    EXPECT_EQ(graphs, 2);
    // The feature keeps its action: the button follows what it does to it.
    graph->setText(QStringLiteral("分析"));
    graph->setToolTip(QStringLiteral("Analysis"));
    graph->setEnabled(false);
    EXPECT_EQ(graphButton->text(), QStringLiteral("分析"));
    EXPECT_EQ(graphButton->accessibleName(), QStringLiteral("分析"));
    EXPECT_EQ(graphButton->toolTip(), QStringLiteral("Analysis"));
    EXPECT_FALSE(graphButton->isEnabled());
    graph->setEnabled(true);

    const QString firstMonth = window->monthMenu()->actions().value(0)->text();
    ASSERT_EQ(firstMonth, QStringLiteral("2026-05"));
    window->addCommand(CommandPlace::monthMenu(20), newAction("second", "二"), [] {});
    window->addCommand(CommandPlace::monthMenu(30), newAction("third", "三"), [] {});
    window->addCommand(CommandPlace::monthMenu(10), newAction("first", "一"), [] {});
    window->addCommand(CommandPlace::monthMenu(20), newAction("alsoSecond", "二又"), [] {});
    EXPECT_EQ(captions(window->monthMenu()).mid(0, 5),
              (QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("二又"),
                           QStringLiteral("三"), firstMonth}));

    QAction *quiet = newAction("quiet", "静");
    quiet->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    int quietRuns = 0;
    window->addCommand(CommandPlace::nowhere(), quiet, [&quietRuns] { ++quietRuns; });
    EXPECT_FALSE(window->monthMenu()->actions().contains(quiet));
    EXPECT_TRUE(window->actions().contains(quiet)) << "its shortcut works in the whole window";
    EXPECT_EQ(quiet->shortcutContext(), Qt::WindowShortcut);

    const auto failing = [] { throw store::DbError(store::ErrorKind::Other, QStringLiteral("坏了 broken")); };
    window->addCommand(CommandPlace::monthMenu(40), newAction("failing", "坏"), failing)->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].text, QStringLiteral("坏了 broken"));
    EXPECT_EQ(fixture.responder.shown()[0].title, QStringLiteral("出错了"));

    // A toolbar command's failure is followed by a reload of the month.
    const int before = itemRows(window->incomePanel);
    testkit::addItems(window->ledger(), QStringLiteral("2026-05"), testkit::manyItems(1));
    fixture.responder.clear();
    window->addCommand(CommandPlace::toolbar(QStringLiteral("add")), newAction("add", "加"), failing);
    QTest::mouseClick(window->button(QStringLiteral("add")), Qt::LeftButton);
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].text, QStringLiteral("坏了 broken"));
    EXPECT_EQ(fixture.responder.shown()[0].title, base::productName());
    EXPECT_EQ(itemRows(window->incomePanel), before + 1);

    // Once closed, nothing runs on the released ledger.
    window->setSwitchingLedger(true);
    window->close();
    EXPECT_FALSE(graph->isEnabled());
    graph->setEnabled(true);
    graph->trigger();
    EXPECT_EQ(graphs, 2);
    EXPECT_FALSE(
        window->addCommand(CommandPlace::monthMenu(50), newAction("late", "迟"), [] {})->isEnabled());
}

// The date panel turns over at midnight; the lock key panels show nothing
// where the platform cannot tell their state (no X11 display here). No
// panel stands for Insert, which no text field of the program honours.
TEST(MainWindow, StatusDateTurnsOverAtMidnightAndUnknownLockStatesStayEmpty)
{
    Fixture fixture;
    const QDateTime start(QDate(2026, 5, 15), QTime(23, 59, 59, 700));
    base::setClock([start] { return start; });
    auto window = openWindow();
    EXPECT_EQ(window->statusPanelText(5), QStringLiteral("2026-05-15"));
    QTest::keyClick(window.get(), Qt::Key_Insert);
    EXPECT_TRUE(window->statusPanelText(4).isEmpty());
    // From now on the clock runs.
    QElapsedTimer elapsed;
    elapsed.start();
    base::setClock([start, elapsed] { return start.addMSecs(elapsed.elapsed()); });
    for (int panel : {2, 3, 4})
        EXPECT_TRUE(window->statusPanelText(panel).isEmpty()) << panel;
    QTRY_COMPARE_WITH_TIMEOUT(window->statusPanelText(5), QStringLiteral("2026-05-16"), 5000);
    window->setSwitchingLedger(true);
}
