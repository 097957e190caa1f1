#include "safe_file.h"

#include "db_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zambrel::store {
namespace {

/// A file descriptor closed on every road out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    /// Closes now, reporting the error a deferred write may only show here.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

[[noreturn]] void fail(int error, const QString &path)
{
    throw fileError(error, path);
}

void writeAll(int fd, const QByteArray &bytes, const QString &path)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, path);
        }
        data += written;
        left -= written;
    }
}

void syncFolderOf(const QString &path)
{
    // The rename is durable only once the folder's entry is on disk; a
    // folder that cannot be opened for this is no reason to fail the copy.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool isDiskFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

DbError fileError(int error, const QString &path)
{
    return DbError(isDiskFull(error) ? kErrDiskFull : kErrGeneric, fileErrorText(error, path));
}

QString fileErrorText(int error, const QString &path)
{
    if (isDiskFull(error))
        return QStringLiteral("磁盘已满 Disk full: ") + path;
    return QStringLiteral("无法写入文件 Cannot write the file: ") + path + QStringLiteral(" (") +
           QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char(')');
}

int createPrivateFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileError(errno, path);
    return fd;
}

void writeFileAtomically(const QString &target, const std::function<bool(QByteArray &piece)> &produce)
{
    const QString temporary =
        target + QStringLiteral(".tmp-") + QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    FileDescriptor fd(::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        fail(errno, target);
    try {
        QByteArray piece;
        for (;;) {
            piece.clear();
            const bool more = produce(piece);
            writeAll(fd.get(), piece, target);
            if (!more)
                break;
        }
        if (::fsync(fd.get()) != 0 || fd.close() != 0)
            fail(errno, target);
        if (std::rename(temporaryName.constData(), QFile::encodeName(target).constData()) != 0)
            fail(errno, target);
    } catch (...) {
        ::unlink(temporaryName.constData());
        throw;
    }
    syncFolderOf(target);
}

void copyFileAtomically(const QString &source, const QString &target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        throw DbError(kErrGeneric, QStringLiteral("无法读取文件 Cannot read the file: ") + source +
                                       QStringLiteral(" (") + input.errorString() + QLatin1Char(')'));
    writeFileAtomically(target, [&input, &source](QByteArray &piece) {
        piece = input.read(1 << 20);
        if (input.error() != QFileDevice::NoError)
            throw DbError(kErrGeneric, QStringLiteral("无法读取文件 Cannot read the file: ") + source);
        return !input.atEnd() && !piece.isEmpty();
    });
}

} // namespace zambrel::store
