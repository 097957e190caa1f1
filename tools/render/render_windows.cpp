// Renders every window of the program, on a ledger of several months, to
// PNG files.
//   render_windows OUT_DIR [DATA_DIR]   every window in every shipped skin
//   render_windows --guide OUT_DIR      every window once, in the default
//                                       skin, under the names the user
//                                       guide shows (docs/images)
#include "app/feature_list.h"
#include "bill_files.h"
#include "sample_ledger.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "base/message.h"
#include "history/ui/history_window.h"
#include "import/books/ui/bank_mapping_window.h"
#include "import/books/ui/import_window.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "input/ui/entry_dialog.h"
#include "journal/ui/journal_window.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/safety_copies.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "ledger/month_view.h"
#include "ledger/restore/ui/restore_window.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "reports/graph/ui/graph_window.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/interface_font.h"
#include "skin/message_box.h"
#include "store/connection.h"
#include "store/ledger.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

using namespace zambrel;

namespace {

/// Where each picture goes: the window's name, and for the message box the
/// name of its look.
using PictureName = std::function<QString(const QString &window, const QString &look)>;

/// A look of the message box: its buttons and icon, and a name for it.
struct MessageLook {
    const char *name;
    base::MessageButtons buttons;
    base::MessageIcon icon;
};

/// The home folder the guide's pictures write as "~" (empty otherwise).
QString guideHome;

/// A path as the guide shows it.
QString shownPath(const QString &path)
{
    if (guideHome.isEmpty() || !path.startsWith(guideHome + QLatin1Char('/')))
        return path;
    return QStringLiteral("~") + path.mid(guideHome.size());
}

/// The ledger path in a label's or a box's text, as the guide shows it.
template <typename Widget> void showPathIn(Widget *widget, const QString &path)
{
    widget->setText(widget->text().replace(path, shownPath(path)));
}

void save(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    if (!window->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void writeJournalPages(store::Ledger &books)
{
    store::JournalPage page;
    page.date = QStringLiteral("2026-05-14");
    // In the order of the boxes: happy things, for others, work, progress,
    // weather, mood, news, health, dreams.
    page.fields = {QStringLiteral("孩子钢琴考级通过了"),
                   QStringLiteral("帮邻居修好了自行车"),
                   QStringLiteral("月底前整理保险单"),
                   QStringLiteral("看完了一本理财书"),
                   QStringLiteral("晴，微风 22°C"),
                   QStringLiteral("交了五月的房贷，心里踏实"),
                   QString(),
                   QStringLiteral("跑步 5 公里"),
                   QString()};
    books.saveJournalPage(page);
    page.date = QStringLiteral("2026-05-15");
    page.fields = {QStringLiteral("多云"), QString(), QStringLiteral("加油 260 元")};
    books.saveJournalPage(page);
}

/// Renders every window in the skin now stored in the settings; false when
/// the logon failed.
bool renderWindows(const PictureName &picture, const std::vector<MessageLook> &messageLooks)
{
    auto *logon = new store::LogonWindow;
    logon->load();
    const QString ledgerPath = logon->ledgerBox->text();
    logon->show();
    showPathIn(logon->ledgerBox, ledgerPath);
    save(logon, picture(QStringLiteral("logon"), {}));
    logon->ledgerBox->setText(ledgerPath);
    ledger::MainWindow *window = nullptr;
    QObject::connect(logon, &store::LogonWindow::loggedOn, logon,
                     [&window](std::shared_ptr<store::Ledger> books) {
                         window = ledger::openMainWindow(std::move(books));
                         app::registerFeatures(*window);
                     });
    QEventLoop opening;
    QObject::connect(logon, &store::LogonWindow::openingEnded, &opening, &QEventLoop::quit);
    logon->logOn();
    opening.exec();
    delete logon;
    if (!window) {
        std::fprintf(stderr, "logon failed: %s\n", qPrintable(base::lastMessage().text));
        return false;
    }
    window->captionBar->restore();
    window->setGeometry(0, 0, 1280, 780);
    showPathIn(window->profitLossHeading, window->ledger().path());
    save(window, picture(QStringLiteral("main"), {}));
    {
        input::EntryDialog dialog;
        window->followSkin(&dialog);
        dialog.setTypeList(window->monthView()->typeNames());
        dialog.setCaptions(QStringLiteral("新活动 "), QStringLiteral("确认新活动New"));
        dialog.applyCategoryMask(QStringLiteral("1100"));
        dialog.show();
        save(&dialog, picture(QStringLiteral("entry"), {}));
    }
    for (const MessageLook &look : messageLooks) {
        skin::MessageBox *box = skin::messageBox();
        box->setButtons(look.buttons, look.icon);
        box->setWindowTitle(QStringLiteral("Zambrel"));
        box->captionBar->setTitle(QStringLiteral("Zambrel"));
        box->setMessage(QStringLiteral("月结处:\r\n\r\n每个月的数据将自动转结。\r\n\r\n是否要月结?"));
        box->show();
        save(box, picture(QStringLiteral("message"), QString::fromLatin1(look.name)));
        box->hide();
    }
    {
        journal::JournalWindow journal(window->ledger());
        window->followSkin(&journal);
        for (const QString &key :
             {QStringLiteral("T2026"), QStringLiteral("T2026-05"), QStringLiteral("T2026-05-14")})
            journal.book().clickNode(key);
        journal.show();
        save(&journal, picture(QStringLiteral("journal"), {}));
    }
    {
        graph::GraphWindow trend;
        window->followSkin(&trend);
        trend.drawGraph(window->ledger());
        trend.show();
        save(&trend, picture(QStringLiteral("graph"), {}));
    }
    {
        // The holdings of the month shown and the targets of a rise from 10
        // to 20; no chart site is set, as on a fresh install.
        stock::StockWindow stock(window->ledger());
        stock.setAttribute(Qt::WA_DeleteOnClose, false);
        window->followSkin(&stock);
        stock.setMonth(window->currentMonth());
        stock.displayStock();
        stock.lowBox->setText(QStringLiteral("10"));
        stock.highBox->setText(QStringLiteral("20"));
        stock.show();
        stock.riseOption->click();
        save(&stock, picture(QStringLiteral("stock"), {}));
        stock.hide();
    }
    {
        input::MonthPickerWindow picker;
        window->followSkin(&picker);
        picker.loadMonths([window] { return window->ledger().allMonthsTable(); });
        picker.show();
        picker.monthList->setFocus();
        picker.monthList->setCurrentItem(picker.monthList->topLevelItem(1));
        save(&picker, picture(QStringLiteral("month-picker"), {}));
        picker.hide();
    }
    {
        // A few steps, the newest undone, an earlier one chosen.
        store::Ledger &books = window->ledger();
        if (books.historySteps().size() < 3) {
            store::Item item;
            item.type = QStringLiteral("房贷");
            item.name = QStringLiteral("房贷月供还贷");
            item.plannedSpending = 3200;
            const qint32 code = books.addItem(window->currentMonth(), item);
            item.code = code;
            item.actualSpending = 3200;
            books.changeItem(item);
            books.deleteItem(code);
            books.undo();
        }
        history::HistoryWindow steps;
        window->followSkin(&steps);
        steps.showSteps(books.historySteps(), books.historyLimit());
        steps.show();
        steps.stepList->setFocus();
        steps.stepList->setCurrentItem(steps.stepList->topLevelItem(2));
        save(&steps, picture(QStringLiteral("history"), {}));
        steps.hide();
    }
    {
        ledger::ChangePasswordWindow password(window->ledger());
        window->followSkin(&password);
        password.show();
        password.passwordBoxes[0]->setText(QStringLiteral("secret"));
        password.passwordBoxes[1]->setFocus();
        save(&password, picture(QStringLiteral("change-password"), {}));
        password.hide();
    }
    {
        // Written on the morning the pictures show, not when they are made.
        const auto writtenAt = [](const QString &path, QTime time) {
            QFile file(path);
            if (!file.open(QIODevice::ReadWrite) ||
                !file.setFileTime(QDateTime(QDate(2026, 5, 15), time), QFileDevice::FileModificationTime))
                std::fprintf(stderr, "cannot date %s\n", qPrintable(path));
        };
        writtenAt(ledger::backUpLedger(window->ledger()).path, QTime(9, 20));
        writtenAt(ledger::takeSafetyCopy(window->ledger(), ledger::SafetyReason::CarryForward), QTime(9, 30));
        ledger::RestoreWindow restore(window->ledger(), {});
        window->followSkin(&restore);
        restore.reload();
        restore.show();
        restore.backupList->setFocus();
        while (restore.checking())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        for (int row = 0; row < restore.backupList->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = restore.backupList->topLevelItem(row);
            item->setText(5, shownPath(item->text(5)));
        }
        save(&restore, picture(QStringLiteral("restore"), {}));
        restore.hide();
    }
    {
        // Beside the ledger, which the guide shows under "~".
        const QString bill =
            QFileInfo(window->ledger().path()).absoluteDir().filePath(QStringLiteral("微信支付账单.csv"));
        QFile file(bill);
        if (file.open(QIODevice::WriteOnly))
            file.write(bills::fixtures::weChatCsv({
                QStringLiteral(
                    "2026-05-02 08:10:00,商户消费,菜市场,蔬菜 水果,支出,¥46.80,零钱,支付成功,4200001,m1,/"),
                QStringLiteral(
                    "2026-05-03 12:00:00,商户消费,面馆,牛肉面,支出,¥28.50,零钱,支付成功,4200002,m2,/"),
                QStringLiteral(
                    "2026-05-03 19:30:00,商户消费,书店,杂志,支出,¥9.00,零钱,支付失败,4200003,m3,/"),
                QStringLiteral(
                    "2026-05-06 09:00:00,商户消费,地铁,地铁出行,支出,¥4.00,零钱,支付成功,4200004,m4,/"),
                QStringLiteral("2026-05-10 10:00:00,转账,朋友,还钱,收入,¥200.00,零钱,已收钱,4200005,m5,/"),
                QStringLiteral(
                    "2026-05-12 20:00:00,商户消费,电影院,电影票,支出,¥78.00,零钱,支付成功,4200006,m6,/"),
            }));
        file.close();
        bills::ImportWindow import(window->ledger(), {});
        window->followSkin(&import);
        import.openBill(bill);
        showPathIn(import.fileBox, QDir::toNativeSeparators(bill));
        import.show();
        import.transactionList->setFocus();
        save(&import, picture(QStringLiteral("import"), {}));
        import.hide();
        QFile::remove(bill);
    }
    {
        // A bank's statement as banks write them: account lines above the
        // header, debit and credit columns, a balance and a total below.
        const QByteArray statement = QStringLiteral("招商银行交易明细\r\n"
                                                    "账号：6225 **** **** 1234,,,,,\r\n"
                                                    "交易日期,摘要,对方户名,支出金额,收入金额,余额\r\n"
                                                    "20260502,消费,永辉超市,126.40,,8873.60\r\n"
                                                    "20260505,代发工资,某某公司,,12000.00,20873.60\r\n"
                                                    "20260508,转账,林小雨,500.00,,20373.60\r\n"
                                                    "20260512,水电费,国网电力,213.75,,20159.85\r\n"
                                                    "20260520,消费,京东商城,89.00,,20070.85\r\n"
                                                    "合计,,,929.15,12000.00,\r\n")
                                         .toUtf8();
        bills::BankMappingWindow mapping(window->ledger(), statement, {});
        window->followSkin(&mapping);
        mapping.sourceBox->setEditText(QStringLiteral("招商银行"));
        mapping.trailingBox->setValue(1);
        mapping.show();
        mapping.sourceBox->setFocus();
        save(&mapping, picture(QStringLiteral("bank-mapping"), {}));
        mapping.hide();
    }
    window->setSwitchingLedger(true);
    window->close();
    QApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // A laptop-sized screen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zambrel::skin::preferSimplifiedChineseFace();
    QStringList arguments = app.arguments().mid(1);
    const bool guide = arguments.removeAll(QStringLiteral("--guide")) > 0;
    // An option it does not know is no folder to fill with pictures.
    if (arguments.isEmpty() || arguments.front().startsWith(u'-')) {
        std::fprintf(stderr,
                     "usage: render_windows OUT_DIR [DATA_DIR]\n       render_windows --guide OUT_DIR\n");
        return 2;
    }
    const QString out = arguments[0];
    QDir().mkpath(out);

    // A data folder may be named (it should be empty), so that two renderings
    // show the same ledger path and can be compared pixel by pixel.
    QTemporaryDir temporary;
    if (!temporary.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    QString dataFolder = arguments.size() > 1 ? arguments[1] : temporary.path();
    if (guide) {
        // The guide shows the ledger where the program keeps a user's: in its
        // data folder in the home folder. A scratch folder stands in for the
        // home folder, so that nothing of the user's is read or touched, and
        // the pictures write it as "~", as the user reads it.
        qputenv("HOME", QFile::encodeName(temporary.path()));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("ZAMBREL_DATA_DIR");
        QCoreApplication::setApplicationName(QStringLiteral("zambrel"));
        guideHome = QDir::homePath();
        dataFolder = base::programFolder();
    }
    const QDir folder(dataFolder);
    folder.mkpath(QStringLiteral("."));
    base::setProgramFolder(folder.path());
    base::setSettingsFile(folder.filePath(QStringLiteral("settings.ini")));
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });
    base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::Yes; });

    const double scales[] = {0.96, 1.0, 1.03, 0.99, 1.05};
    for (int month = 1; month <= 5; ++month)
        testkit::writeSampleMonth(QStringLiteral("2026-0%1").arg(month), scales[month - 1]);
    writeJournalPages(*testkit::openDefaultLedger());

    QStringList skins =
        QDir(base::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    if (guide)
        skins = QStringList{QFileInfo(base::defaultSkinPath()).fileName()};
    if (skins.isEmpty())
        skins << QString();
    int index = 0;
    for (const QString &skinFile : skins) {
        const QString name = skinFile.isEmpty() ? QStringLiteral("noskin") : QString::number(++index);
        base::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                          skinFile.isEmpty() ? QString() : base::skinsFolder() + QLatin1Char('/') + skinFile);
        const PictureName perSkin = [&](const QString &window, const QString &look) {
            const QString suffix = look.isEmpty() ? QString() : QLatin1Char('-') + look;
            return out + QStringLiteral("/%1-%2%3.png").arg(window, name, suffix);
        };
        // The guide's names say what each picture shows.
        const PictureName forGuide = [&](const QString &window, const QString &) {
            static const QHash<QString, QString> names = {
                {QStringLiteral("logon"), QStringLiteral("logon-window")},
                {QStringLiteral("main"), QStringLiteral("main-window")},
                {QStringLiteral("entry"), QStringLiteral("entry-dialog")},
                {QStringLiteral("message"), QStringLiteral("message-box")},
                {QStringLiteral("journal"), QStringLiteral("journal-window")},
                {QStringLiteral("graph"), QStringLiteral("trend-graph-window")},
                {QStringLiteral("stock"), QStringLiteral("stock-check-window")},
                {QStringLiteral("month-picker"), QStringLiteral("month-picker-window")},
                {QStringLiteral("history"), QStringLiteral("history-window")},
                {QStringLiteral("change-password"), QStringLiteral("change-password-window")},
                {QStringLiteral("import"), QStringLiteral("import-window")},
                {QStringLiteral("bank-mapping"), QStringLiteral("bank-mapping-window")},
                {QStringLiteral("restore"), QStringLiteral("restore-window")},
            };
            return out + QLatin1Char('/') + names.value(window, window) + QStringLiteral(".png");
        };
        using base::MessageButtons;
        using base::MessageIcon;
        const std::vector<MessageLook> looks =
            guide ? std::vector<MessageLook>{{"question", MessageButtons::YesNo, MessageIcon::None}}
                  : std::vector<MessageLook>{{"ok", MessageButtons::Ok, MessageIcon::None},
                                             {"question", MessageButtons::YesNo, MessageIcon::None},
                                             {"critical", MessageButtons::Ok, MessageIcon::Critical},
                                             {"question-icon", MessageButtons::YesNo, MessageIcon::Question},
                                             {"information", MessageButtons::Ok, MessageIcon::Information}};
        if (!renderWindows(guide ? forGuide : perSkin, looks))
            return 1;
        std::printf("%s: %s\n", qPrintable(name), qPrintable(QFileInfo(skinFile).completeBaseName()));
    }

    if (!guide) {
        // The stored ledger is gone and no skin can be read: the hint line, on
        // the plain built-in look.
        base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"),
                          folder.filePath(QStringLiteral("usb/books.mdb")));
        base::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                          folder.filePath(QStringLiteral("broken.jss")));
        QFile broken(folder.filePath(QStringLiteral("broken.jss")));
        broken.open(QIODevice::WriteOnly);
        broken.write("not a skin");
        broken.close();
        folder.mkpath(QStringLiteral("no-skins"));
        base::setSkinsFolder(folder.filePath(QStringLiteral("no-skins")));
        {
            store::LogonWindow logon;
            logon.load();
            logon.show();
            QApplication::processEvents();
            logon.grab().save(out + QStringLiteral("/logon-hint-plain.png"));
        }
    }
    return 0;
}
