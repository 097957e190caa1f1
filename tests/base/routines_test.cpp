// The program-wide routines: messages, the status line, month keys, and
// where the program finds its skins and ledgers, and its settings.
#include "base/app_paths.h"
#include "base/message.h"
#include "base/month_keys.h"
#include "base/scope_guard.h"
#include "base/status_line.h"
#include "test_support.h"

#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::base;

TEST(MessageRoutine, EmptyTitleBecomesProductNameAndCancelOnlyEndsAThreeWayQuestion)
{
    using base::MessageAnswer;
    using base::MessageButtons;
    {
        testkit::ScriptedResponder responder;
        for (const MessageAnswer reply : {MessageAnswer::Yes, MessageAnswer::Cancel, MessageAnswer::Cancel})
            responder.answer(reply);
        EXPECT_EQ(base::showMessage(QStringLiteral("是否退出 Are you sure exit？"), MessageButtons::YesNo),
                  MessageAnswer::Yes);
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNo), MessageAnswer::No)
            << "a two-way question never hears Cancel";
        EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNoCancel), MessageAnswer::Cancel);
        EXPECT_EQ(base::showMessage(QStringLiteral("x"), MessageButtons::Ok, base::MessageIcon::None,
                                    QStringLiteral("T")),
                  MessageAnswer::No)
            << "queue empty: the fallback";

        ASSERT_EQ(responder.shown().size(), 4u);
        EXPECT_EQ(responder.shown()[0].title, base::productName());
    }
    // Nobody to ask: two-way questions are declined, three-way ones cancelled.
    const base::MessagePresenter previous = base::setMessageResponder({});
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(base::showMessage(QStringLiteral("q"), MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    base::setMessageResponder(previous);
}

TEST(StatusLine, GoesToTheMainWindowWhileItHoldsTheWriter)
{
    QString status;
    showStatus(QStringLiteral("a:b"));
    int window = 0;
    setStatusWriter(&window,
                    [&status](const QString &text, int panel) { status = QString::number(panel) + text; });
    showStatus(QStringLiteral("准备就绪: 共 3 条"), 1);
    EXPECT_EQ(status, QStringLiteral("1准备就绪： 共 3 条"));
    // A window that closes after the next one opened leaves the new writer.
    int older = 0;
    releaseStatusWriter(&older);
    showStatus(QStringLiteral("x"), 2);
    EXPECT_EQ(status, QStringLiteral("2x"));
    releaseStatusWriter(&window);
    showStatus(QStringLiteral("y"));
    EXPECT_EQ(status, QStringLiteral("2x"));
}

TEST(MonthKeys, KeysAndTheMonthBefore)
{
    EXPECT_EQ(monthKeyOf(QDate(2026, 3, 5)), QStringLiteral("2026-03"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-01")), QStringLiteral("2025-12"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("2026-10")), QStringLiteral("2026-09"));
    EXPECT_EQ(previousMonthKey(QStringLiteral("202601")), QString());
}

namespace {

// An installation laid out under a temporary prefix: <prefix>/bin and the
// skins folder the build reaches from there.
struct Prefix {
    QTemporaryDir dir;
    QString bin = dir.filePath(QStringLiteral("bin"));
    QString installedSkins = QDir::cleanPath(bin + QStringLiteral("/" ZAMBREL_SKINS_FROM_BINDIR));
    QString besideSkins = bin + QStringLiteral("/skins");

    Prefix()
    {
        QDir().mkpath(bin);
        QDir().mkpath(installedSkins);
    }
};

} // namespace

// An installed program uses the data folder of its prefix; skins beside the
// program come first, but a file named so is no folder.
TEST(ShippedSkinsFolder, BesideTheProgramElseTheDataFolderOfItsPrefix)
{
    Prefix prefix;
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.installedSkins);
    QFile file(prefix.besideSkins);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.installedSkins);
    ASSERT_TRUE(file.remove() && QDir().mkpath(prefix.besideSkins));
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.besideSkins);
}

// The full order: an explicit folder, then the environment, then the skins
// shipped with the running program (here the build's, beside the tests).
TEST(SkinsFolder, OverrideThenEnvironmentThenShippedSkins)
{
    const QByteArray before = qgetenv("ZAMBREL_SKINS_DIR");
    QTemporaryDir chosen;
    QTemporaryDir fromEnvironment;
    qputenv("ZAMBREL_SKINS_DIR", fromEnvironment.path().toLocal8Bit());
    base::setSkinsFolder(chosen.path());
    EXPECT_EQ(base::skinsFolder(), QDir::cleanPath(chosen.path()));
    base::setSkinsFolder({});
    EXPECT_EQ(base::skinsFolder(), QDir::cleanPath(fromEnvironment.path()));
    qunsetenv("ZAMBREL_SKINS_DIR");
    const QString shipped = base::shippedSkinsFolder(QCoreApplication::applicationDirPath());
    EXPECT_EQ(base::skinsFolder(), shipped);
    EXPECT_TRUE(QFile::exists(base::defaultSkinPath()));
    qputenv("ZAMBREL_SKINS_DIR", before);
}

// Every logon stores the ledger it opened; when that is the one stored
// already, the file is left as it was (no rewrite, no flush to disk), and a
// different value is still written.
TEST(Settings, AnUnchangedValueLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zambrel.ini"));
    base::setSettingsFile(file);
    const base::ScopeGuard usualSettings([] { base::setSettingsFile({}); });
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/home/me/books.mdb"));
    const QDateTime past = QDateTime::currentDateTime().addDays(-1);
    {
        QFile settings(file);
        ASSERT_TRUE(settings.open(QIODevice::ReadWrite) &&
                    settings.setFileTime(past, QFileDevice::FileModificationTime));
    }
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/home/me/books.mdb"));
    EXPECT_EQ(QFileInfo(file).lastModified(), past);

    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/home/me/other.mdb"));
    EXPECT_NE(QFileInfo(file).lastModified(), past);
    EXPECT_EQ(base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB")),
              QStringLiteral("/home/me/other.mdb"));
}
