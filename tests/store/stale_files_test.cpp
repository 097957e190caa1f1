// What a killed run left behind goes at the next start; nothing else does.
#include "store/stale_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel::store;

namespace {

void makeFile(const QString &path, const QDateTime &changed)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(changed, QFileDevice::FileModificationTime));
}

TEST(StaleTemporaries, OnlyOurOwnOlderLeftoversGo)
{
    QTemporaryDir dir;
    const QDateTime started = QDateTime::currentDateTimeUtc();
    const QDateTime before = started.addSecs(-3600);
    const QDateTime after = started.addSecs(5);
    const struct {
        const char *name;
        bool older;
        bool goes;
        const char *why;
    } files[] = {
        // (A copy, a new key's copy and a settings save cut short, and a newer file: the start routine's
        // test.)
        {"books.mdb", true, false, "the ledger"},
        {"Zambrel_2026-12-07.mdb.tmp-9", true, true, "a dated backup cut short"},
        {"books.mdb.new-abc", true, true, "a ledger being made"},
        {"books.mdb.old-12", true, true, "the old key's file beside the ledger"},
        {"gone.mdb.old-12", true, false, "the old file is all that is left of gone.mdb"},
        {"books.mdb.tmp-xyz", true, false, "not our naming"},
        {"books.mdb.tmp-123456789", true, false, "more digits than our names have"},
        {"notes.tmp-1", true, true, "an export's file cut short"},
        {"zambrel.ini.aB3dE", true, false, "five letters: not the settings store's naming"},
        {"letter.txt.aB3dE9", true, false, "not one of the saved files"},
        {"QtProject.conf.backup", true, false, "six small letters: a word someone chose"},
    };
    for (const auto &each : files)
        makeFile(dir.filePath(QString::fromUtf8(each.name)), each.older ? before : after);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.tmp-1")));
    ASSERT_TRUE(
        QFile::link(dir.filePath(QStringLiteral("books.mdb")), dir.filePath(QStringLiteral("link.tmp-2"))));

    QStringList removed = removeStaleTemporaries(
        dir.path(), started, {QStringLiteral("zambrel.ini"), QStringLiteral("QtProject.conf")});
    QStringList expected;
    for (const auto &each : files) {
        EXPECT_EQ(QFile::exists(dir.filePath(QString::fromUtf8(each.name))), !each.goes) << each.why;
        if (each.goes)
            expected << QString::fromUtf8(each.name);
    }
    removed.sort();
    expected.sort();
    EXPECT_EQ(removed, expected);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.tmp-1"))).isDir()) << "only files";
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("link.tmp-2"))).isSymLink()) << "never through a link";
    EXPECT_TRUE(removeStaleTemporaries(dir.filePath(QStringLiteral("none")), started).isEmpty());
}

} // namespace
