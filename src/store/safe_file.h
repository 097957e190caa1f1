#pragma once

#include "db_error.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace zambrel::store {

/// A file descriptor, closed when it goes. Moves, does not copy.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor &&other) noexcept;
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    /// Closes now, returning what close() said (a deferred write error may
    /// only show here).
    int close();

private:
    int m_fd = -1;
};

/// A new file beside `target` under a temporary name ("TARGET" + `marker` +
/// random hex digits), readable by its owner alone, that takes the place of
/// `target` only when complete: commit() flushes it to disk and renames it
/// over `target`. Removed when it goes uncommitted, so a failure leaves
/// `target` as it was. The marker names what left a file behind a crash.
class PendingFile {
public:
    /// @throws DbError (fileError) when the file cannot be made.
    explicit PendingFile(const QString &target, const char *marker = ".tmp-");
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    QString path() const { return m_path; }
    int fd() const { return m_fd.get(); }
    /// Appends `bytes`. @throws DbError naming the target.
    void write(const QByteArray &bytes);
    /// Flushes the file's bytes to disk. @throws DbError
    void sync();
    /// sync(), close, rename over the target, flush the folder. @throws DbError
    void commit();
    /// Gives up the file: nothing removes it any more; the descriptor is handed over.
    FileDescriptor release();

private:
    QString m_target;
    QString m_path;
    FileDescriptor m_fd;
    bool m_done = false;
};

/// Writes `target` through a PendingFile. `produce` is called repeatedly and
/// appends the next piece to its argument; it returns false when there is
/// nothing more. @throws DbError as fileError() says, naming `target`.
void writeFileAtomically(const QString &target, const std::function<bool(QByteArray &piece)> &produce);

/// Creates the file `path`, which must not exist yet, readable and writable
/// by its owner alone, and returns its open descriptor (the caller closes it).
/// @throws DbError (fileError) when it exists or cannot be made.
int createPrivateFile(const QString &path);

/// Flushes the folder holding `path`, so that a rename or removal in it
/// survives a crash. A folder that cannot be opened for this is left alone.
void syncFolderOf(const QString &path);

/// True when `a` and `b` lead to the same file (through links, symbolic or
/// hard, alike); false when either cannot be reached.
bool sameFile(const QString &a, const QString &b);

/// True for the system error numbers that mean the disk or quota is full.
bool isDiskFull(int error);

/// The DbError for a failed file operation on `path` with the system error
/// number `error`: DiskFull ("磁盘已满 Disk full: PATH") when the disk is full,
/// otherwise InputOutput with the system's reason.
DbError fileError(int error, const QString &path);

} // namespace zambrel::store
