#include "test_support.h"

#include "app/program.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zambrel;

// The whole start as a person does it: the logon window appears centred,
// Enter in the password box opens the ledger and shows the main window.
TEST(StartRoutine, EnterInThePasswordBoxOpensTheMainWindow)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder(base::MessageAnswer::Yes);
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });

    QPointer<store::LogonWindow> logon = app::startProgram(*qApp);
    ASSERT_TRUE(logon);
    EXPECT_TRUE(logon->isVisible());
    const QRect area = logon->screen()->availableGeometry();
    EXPECT_LE(qAbs(logon->geometry().center().x() - area.center().x()), 1);
    EXPECT_LE(qAbs(logon->geometry().center().y() - area.center().y()), 1);

    QTest::keyClick(logon->passwordBox, Qt::Key_Return);

    const auto mainWindow = [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<ledger::MainWindow *>(widget))
                return window;
        }
        return static_cast<ledger::MainWindow *>(nullptr);
    };
    QTRY_VERIFY(mainWindow() != nullptr);
    ledger::MainWindow *window = mainWindow();
    QTRY_VERIFY(window->isVisible());
    QTRY_VERIFY(logon.isNull());
    EXPECT_EQ(window->ledger().path(), base::defaultLedgerPath());
    EXPECT_THROW(store::Ledger(base::defaultLedgerPath(), {}), store::DbError)
        << "the window holds the ledger";
    EXPECT_TRUE(window->command(QStringLiteral("add"))->isEnabled()) << "the item commands are registered";
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")), base::defaultLedgerPath());

    window->setSwitchingLedger(true);
    window->close();
    base::setClock({});
}

// Qt's file dialogs write the folders last visited (where the ledgers and
// exports lie) into a settings file of their own: it is owner-only from the
// start, whatever was there and whatever the umask.
TEST(StartRoutine, TheFileDialogsHistoryIsOwnerOnly)
{
    testkit::TempProgramFolder folder;
    const QString history = base::fileDialogHistoryFile();
    ASSERT_TRUE(history.contains(QStringLiteral(".qttest")))
        << "not the user's own file: " << history.toStdString();
    const QByteArray name = QFile::encodeName(history);
    const auto modeOf = [&name] {
        struct stat info {};
        return ::stat(name.constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
    };
    const mode_t umaskBefore = ::umask(0);

    QFile::remove(history);
    delete app::startProgram(*qApp);
    EXPECT_EQ(modeOf(), 0600) << "made owner-only when missing";
    ASSERT_EQ(::chmod(name.constData(), 0666), 0);
    delete app::startProgram(*qApp);
    EXPECT_EQ(modeOf(), 0600) << "an earlier file loses the others' access";

    // A real dialog writes its history there and keeps the mode.
    {
        QFileDialog dialog(nullptr, QStringLiteral("test"), folder.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.show();
    }
    QFile written(history);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("FileDialog"));
    EXPECT_EQ(modeOf(), 0600);
    ::umask(umaskBefore);
}

// A start removes what a killed earlier run left in the program's folders
// and beside the ledger, and nothing of the run now going.
TEST(StartRoutine, LeftoversOfAKilledRunGo)
{
    testkit::TempProgramFolder folder;
    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QString settings = base::settingsFilePath();
    const QStringList stale{base::defaultLedgerPath() + QStringLiteral(".tmp-1f2e3d4c"),
                            base::defaultLedgerPath() + QStringLiteral(".rekey-77"),
                            settings + QStringLiteral(".Qx3b9Z")};
    const QString fresh = base::defaultLedgerPath() + QStringLiteral(".tmp-5");
    for (const QString &path : stale + QStringList{fresh}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        ASSERT_TRUE(file.setFileTime(path == fresh ? earlier.addSecs(7200) : earlier,
                                     QFileDevice::FileModificationTime));
    }
    delete app::startProgram(*qApp);
    for (const QString &path : stale)
        EXPECT_FALSE(QFile::exists(path)) << qPrintable(path);
    EXPECT_TRUE(QFile::exists(fresh)) << "made after this run began";
}

// --version names the skins in use and marks a default skin it cannot read,
// so a broken installation shows itself.
TEST(VersionReport, NamesTheSkinsAndMarksAnUnreadableDefaultSkin)
{
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    const QString shipped = base::skinsFolder();
    EXPECT_EQ(app::versionReport(), QCoreApplication::applicationName() + QStringLiteral(" 1.2.3\nSkins: ") +
                                        shipped + QStringLiteral("\nDefault skin: ") +
                                        base::defaultSkinPath() + QStringLiteral("\n"));

    QTemporaryDir empty;
    base::setSkinsFolder(empty.path());
    EXPECT_TRUE(app::versionReport().endsWith(QStringLiteral("金色水晶.jss (missing or unreadable)\n")));
    QFile spoilt(base::defaultSkinPath());
    EXPECT_TRUE(spoilt.open(QIODevice::WriteOnly));
    spoilt.write("not a skin");
    spoilt.close();
    EXPECT_TRUE(app::versionReport().endsWith(QStringLiteral("金色水晶.jss (missing or unreadable)\n")));

    base::setSkinsFolder({});
    QCoreApplication::setApplicationVersion(version);
}
