// What the program writes is for its owner's eyes only, whatever the umask.
#include "test_support.h"

#include "base/app_paths.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zambrel;
using namespace zambrel::base;
using namespace zambrel::store;

namespace {

int modeOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

// The usual umask lets everyone read new files; the program must not rely
// on a stricter one.
class PrivateFiles : public ::testing::Test {
protected:
    void SetUp() override { m_previous = ::umask(022); }
    void TearDown() override { ::umask(m_previous); }

private:
    mode_t m_previous = 0;
};

} // namespace

TEST_F(PrivateFiles, LedgersBackupsAndReKeyedLedgersAreOwnerOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("books.mdb"));
    createLedger(path);
    EXPECT_EQ(modeOf(path), 0600) << "a new ledger";
    const QString locked = dir.filePath(QStringLiteral("locked.mdb"));
    createLedger(locked, QStringLiteral("pw"));
    EXPECT_EQ(modeOf(locked), 0600) << "a new ledger with a password";

    Ledger ledger(path, {});
    const QString backup = dir.filePath(QStringLiteral("books_bak.mdb"));
    ledger.backupTo(backup);
    EXPECT_EQ(modeOf(backup), 0600) << "a backup";
    ledger.changePassword({}, QStringLiteral("new"));
    EXPECT_EQ(modeOf(path), 0600) << "a re-keyed ledger is a new file";
    ledger.changePassword(QStringLiteral("new"), {});
    EXPECT_EQ(modeOf(path), 0600);
}

// The data folder and the settings file are made owner-only; a folder that
// was there before keeps its mode. (A file in the data folder's way: the
// logon's test.)
TEST_F(PrivateFiles, DataFolderAndSettingsFileAreOwnerOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("shared")));
    ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("shared"))).constData(), 0755);
    const QString folder = dir.filePath(QStringLiteral("shared/new/data"));
    setProgramFolder(folder);
    EXPECT_EQ(programFolder(), folder);
    setProgramFolder({});
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("shared/new"))), 0700);
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("shared"))), 0755) << "not ours to change";

    const QString file = dir.filePath(QStringLiteral("config/Zambrel/zambrel.ini"));
    setSettingsFile(file);
    saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/home/me/books.mdb"));
    setSettingsFile({});
    EXPECT_EQ(modeOf(file), 0600);
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("config/Zambrel"))), 0700);
}
