#pragma once

#include "db_error.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace zambrel::store {

/// Writes `target` so that it is replaced only by a complete file: the bytes
/// go to a temporary file beside it (readable by its owner alone), are
/// flushed to disk, and the temporary file is then renamed over `target`.
/// `produce` is called repeatedly and appends the next piece to its argument;
/// it returns false when there is nothing more. On any failure the temporary
/// file is removed and `target` is left as it was.
/// @throws DbError kErrGeneric with the operating system's reason and the
/// path, or kErrDiskFull with "磁盘已满 Disk full: <path>".
void writeFileAtomically(const QString &target, const std::function<bool(QByteArray &piece)> &produce);

/// writeFileAtomically() with the bytes of the file at `source`.
/// @throws DbError as above, or when `source` cannot be read.
void copyFileAtomically(const QString &source, const QString &target);

/// The message for a failed file operation on `path` with the system error
/// number `error`: the disk-full case gets its own clear words.
QString fileErrorText(int error, const QString &path);

/// Creates the file `path`, which must not exist yet, readable and writable
/// by its owner alone, and returns its open descriptor (the caller closes it).
/// @throws DbError (fileError) when it exists or cannot be made.
int createPrivateFile(const QString &path);

/// True for the system error numbers that mean the disk or quota is full.
bool isDiskFull(int error);

/// The DbError for a failed file operation: kErrDiskFull when the disk is
/// full, otherwise kErrGeneric; the text is fileErrorText().
DbError fileError(int error, const QString &path);

} // namespace zambrel::store
