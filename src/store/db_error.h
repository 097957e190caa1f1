#pragma once

#include <QString>

#include <stdexcept>

namespace zambrel::store {

/// Error numbers the program tells apart (as the ledger engine reports them).
enum DbErrorNumber : long {
    kErrGeneric = 0x80004005L,  ///< wrong old password, ledger in use, missing or foreign file
    kErrSyntax = 0x80040E14L,   ///< statement syntax; uniqueness broken in a batch update
    kErrDiskFull = 0x80070070L, ///< the disk (or the user's quota) is full; nothing was written
};

/// The one exception type of the engine layer and the logic above it.
/// Carries the number the program shows and a description for the user
/// (Chinese with a short English gloss). Never carries a password.
class DbError : public std::runtime_error {
public:
    DbError(long number, const QString &description);

    long number() const noexcept { return m_number; }
    QString description() const { return m_description; }

private:
    long m_number = kErrGeneric;
    QString m_description;
};

} // namespace zambrel::store
