#pragma once

#include <QString>

namespace zambrel::cli {

/// Where the command line takes a ledger's password from, in this order:
/// the file named by --password-file, the environment variable
/// ZAMBREL_PASSWORD, or a question without echo when standard input is a
/// terminal. Never from an argument: other users see those in the process
/// list.
struct PasswordSource {
    QString passwordFile; ///< empty: none given
};

/// The password for the ledger at `ledgerPath`. A ledger file without a
/// password (or one that is no ledger: opening it says so) needs none, and
/// nobody is asked.
/// @throws store::DbError when the file cannot be read, or when a password
/// is needed and there is no terminal to ask on.
QString passwordFor(const QString &ledgerPath, const PasswordSource &source);

/// The first line of the file at `path`, its line break left out.
/// @throws store::DbError when it cannot be read or the line passes 64 KiB.
QString passwordFromFile(const QString &path);

/// Overwrites the characters of `password` before it is released.
void forgetPassword(QString &password);

} // namespace zambrel::cli
