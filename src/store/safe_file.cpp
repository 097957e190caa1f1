#include "safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zambrel::store {
namespace {

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

} // namespace

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileDescriptor::FileDescriptor(FileDescriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

int FileDescriptor::close()
{
    const int result = ::close(m_fd);
    m_fd = -1;
    return result;
}

PendingFile::PendingFile(const QString &target, const char *marker)
    : m_target(target),
      m_path(target + QLatin1String(marker) + QString::number(QRandomGenerator::global()->generate(), 16))
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(errno, target);
    m_fd = FileDescriptor(fd);
}

PendingFile::~PendingFile()
{
    if (!m_done)
        ::unlink(QFile::encodeName(m_path).constData());
}

void PendingFile::write(const QByteArray &bytes)
{
    writeAll(m_fd.get(), bytes, m_target);
}

void PendingFile::sync()
{
    if (::fsync(m_fd.get()) != 0)
        fail(errno, m_target);
}

void PendingFile::commit()
{
    sync();
    if (m_fd.close() != 0)
        fail(errno, m_target);
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(errno, m_target);
    m_done = true;
    syncFolderOf(m_target);
}

FileDescriptor PendingFile::release()
{
    m_done = true;
    return std::move(m_fd);
}

void writeFileAtomically(const QString &target, const std::function<bool(QByteArray &piece)> &produce)
{
    PendingFile file(target);
    QByteArray piece;
    for (;;) {
        piece.clear();
        const bool more = produce(piece);
        file.write(piece);
        if (!more)
            break;
    }
    file.commit();
}

bool isDiskFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

DbError fileError(int error, const QString &path)
{
    if (isDiskFull(error))
        return DbError(ErrorKind::DiskFull, path);
    return DbError(ErrorKind::InputOutput, path + QStringLiteral(" (") +
                                               QString::fromLocal8Bit(std::strerror(error)) +
                                               QLatin1Char(')'));
}

int createPrivateFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileError(errno, path);
    return fd;
}

void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace zambrel::store
