#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace zambrel::testkit {

/// A folder that can be made to refuse new files, even to root. Root ignores
/// permission bits, so there the folder is a tmpfs of its own, remounted
/// read-only; for anyone else the permission bits do. A mount that holds a
/// file open for writing cannot be made read-only, so a ledger meant to stay
/// open inside it lives elsewhere and is reached through a link.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path)
    {
        QDir().mkpath(path);
        if (::geteuid() != 0) {
            m_ready = true;
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, "size=16m,mode=0755") != 0) {
            m_reason = QStringLiteral("cannot mount a tmpfs as root (") +
                       QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char(')');
            return;
        }
        m_mounted = true;
        m_ready = true;
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    /// False when the folder cannot be made read-only here; reason() says why.
    bool isReady() const { return m_ready; }
    QString reason() const { return m_reason; }
    QString path() const { return m_path; }

    /// From now on no file can be created, replaced or removed in it.
    bool makeReadOnly()
    {
        if (m_mounted) {
            if (::mount(nullptr, QFile::encodeName(m_path).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                        nullptr) != 0) {
                m_reason = QStringLiteral("cannot remount read-only (") +
                           QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char(')');
                return false;
            }
            return true;
        }
        return QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QString m_path;
    QString m_reason;
    bool m_mounted = false;
    bool m_ready = false;
};

} // namespace zambrel::testkit
