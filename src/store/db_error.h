#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace zambrel::store {

/// What went wrong, told apart as far as the user can act on it. Each kind
/// has its bilingual text in one table (db_error.cpp).
enum class ErrorKind {
    WrongPassword, ///< the password does not open the ledger (or random bytes that hold none)
    InUse,         ///< another program, or another ledger object, holds the ledger
    NotALedger,    ///< no database of any kind: too short, a folder, a device, foreign tables
    Damaged,       ///< tables or columns the program uses are missing, or pages do not read back
    ReadOnly,      ///< the ledger cannot be written: opened read-only, or the file system refuses
    DiskFull,      ///< the disk or the user's quota is full; nothing was written
    InputOutput,   ///< the system failed to read or write a file
    Constraint,    ///< the data breaks a rule of the ledger (one journal page a day)
    Missing,       ///< no file at the path given
    Failed,        ///< the engine refused a statement (a sum that overflows, a foreign schema)
    Other,         ///< a failure described in its own words by the logic above the store
};

/// The one exception type of the store and the logic above it: a kind and a
/// description for the user (Chinese with a short English gloss). Never
/// carries a password.
class DbError : public std::runtime_error {
public:
    /// The kind's text, completed by `detail` (a path, the system's or the
    /// engine's words) after ": ". For Other, `detail` is the whole text.
    explicit DbError(ErrorKind kind, const QString &detail = {});
    /// The same with a detail of its own in each language, for the kinds
    /// whose text places it in each (Damaged).
    DbError(ErrorKind kind, const QString &chineseDetail, const QString &englishDetail);
    /// Damaged, naming what is missing ("账本已损坏：缺少 …").
    static DbError missingParts(const QStringList &parts);

    ErrorKind kind() const noexcept { return m_kind; }
    QString description() const { return m_description; }
    /// The kind's own text, without any detail (fit for a title).
    static QString kindText(ErrorKind kind);

private:
    ErrorKind m_kind;
    QString m_description;
};

} // namespace zambrel::store
