#include "stale_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace zambrel::store {
namespace {

// The markers PendingFile, createLedger and rekeyLedger put after a file's
// name, followed by the hex digits of a random number.
const QRegularExpression &pendingName()
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.(tmp|rekey|new|old)-[0-9a-f]{1,8}$"));
    return pattern;
}

bool isStale(const QString &path, const QDateTime &startedAt)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
           QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec).addMSecs(info.st_mtim.tv_nsec / 1'000'000) <
               startedAt;
}

bool isLeftOver(const QDir &folder, const QString &name, const QStringList &savedFiles,
                const std::function<bool(const QString &)> &owns)
{
    const QRegularExpressionMatch pending = pendingName().match(name);
    if (pending.hasMatch()) {
        if (owns && !owns(pending.captured(1)))
            return false;
        return pending.captured(2) != QLatin1String("old") ||
               QFileInfo(folder.filePath(pending.captured(1))).isFile();
    }
    // Six random letters or digits; six small letters are a word someone
    // chose ("QtProject.conf.backup").
    static const QRegularExpression saving(QStringLiteral("^(.+)\\.([A-Za-z0-9]{6})$"));
    static const QRegularExpression word(QStringLiteral("^[a-z]+$"));
    const QRegularExpressionMatch saved = saving.match(name);
    return saved.hasMatch() && savedFiles.contains(saved.captured(1)) &&
           !word.match(saved.captured(2)).hasMatch();
}

} // namespace

QStringList removeStaleTemporaries(const QString &folder, const QDateTime &startedAt,
                                   const QStringList &savedFiles,
                                   const std::function<bool(const QString &)> &owns)
{
    QStringList removed;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return removed;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        if (isLeftOver(dir, name, savedFiles, owns) && isStale(path, startedAt) && QFile::remove(path))
            removed << name;
    }
    return removed;
}

} // namespace zambrel::store
