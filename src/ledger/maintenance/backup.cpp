#include "backup.h"

#include "base/clock.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QFile>

#include <optional>

#include <sys/stat.h>

namespace zambrel::ledger {
namespace {

struct Kind {
    const char *chinese;
    const char *english;
};

/// What stands at `path` when it is neither nothing nor a regular file.
std::optional<Kind> notARegularFile(const QString &path)
{
    struct stat info {};
    // Not followed: a link would be replaced by the copy, not written through.
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return Kind{"文件夹", "a folder"};
    if (S_ISFIFO(info.st_mode))
        return Kind{"管道", "a FIFO"};
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return Kind{"设备", "a device"};
    if (S_ISSOCK(info.st_mode))
        return Kind{"套接字", "a socket"};
    if (S_ISLNK(info.st_mode))
        return Kind{"符号链接", "a symbolic link"};
    return Kind{"特殊文件", "a special file"};
}

} // namespace

BackupCopy backUpLedger(const store::Ledger &ledger, const QString &target)
{
    BackupCopy copy;
    copy.path = target.isEmpty() ? store::backupFileName(ledger.path(), base::today()) : target;
    if (const std::optional<Kind> kind = notARegularFile(copy.path))
        throw store::DbError(
            store::ErrorKind::Other,
            QStringLiteral("备份的目标是%1，不是普通文件 The backup target is %2, not a regular file: %3")
                .arg(QString::fromUtf8(kind->chinese), QString::fromLatin1(kind->english), copy.path));
    copy.replaced = QFile::exists(copy.path);
    ledger.backupTo(copy.path);
    return copy;
}

QString backupDoneText(const QString &ledgerPath, const QString &backupPath)
{
    return ledgerPath + QStringLiteral("备份成功") + QLatin1Char('\n') + QStringLiteral("备份名称为：") +
           backupPath;
}

} // namespace zambrel::ledger
