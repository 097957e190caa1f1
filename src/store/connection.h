#pragma once

#include <QString>

#include <memory>

namespace zambrel::store {

class RecordSet;
struct ConnectionImpl;

/// Cursor, lock and state values as the program passes them.
enum CursorLocation : int { adUseServer = 2, adUseClient = 3 };
enum CursorType : int { adOpenForwardOnly = 0, adOpenKeyset = 1 };
enum LockType : int { adLockReadOnly = 1, adLockBatchOptimistic = 4 };
enum ObjectState : int { adStateClosed = 0, adStateOpen = 1 };
enum ExecuteOption : int { adCmdText = 1, adExecuteNoRecords = 128 };
enum AffectEnum : int { adAffectAll = 3 };

/// A connection to one ledger file (SQLCipher underneath).
///
/// The connection string takes the keys the program builds:
/// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=PATH;Mode=...;
///  Persist Security Info=True;Jet OLEDB:Database Password=PWD", optionally
/// prefixed "Provider=MSDataShape;Data " (which makes the Jet provider the
/// data provider). A value may be double-quoted so that it can hold ';'.
///
/// While open, the ledger file is locked exclusively: a second opener, in
/// this process or another, gets DbError kErrGeneric at once.
/// Moves, does not copy. Record sets opened on it refer to it weakly: they
/// stay readable after the connection is closed or destroyed.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(Connection &&) noexcept;
    Connection &operator=(Connection &&) noexcept;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionString(const QString &text);
    QString connectionString() const;
    /// Seconds the engine waits on a busy ledger before giving up.
    void setCommandTimeout(int seconds);
    int commandTimeout() const;

    /// Opens the ledger named by the connection string (or by `connectionString`
    /// when not empty, which then replaces it). The file must exist.
    /// @throws DbError missing file, not a ledger, wrong password, in use.
    void open(const QString &connectionString = {}, const QString &user = {}, const QString &password = {},
              int options = -1);
    /// adStateOpen (1) while open, adStateClosed (0) otherwise.
    int state() const;
    /// Runs one statement in Jet SQL. A select returns a client-side,
    /// read-only record set that is still attached; anything else returns
    /// nullptr. @throws DbError syntax errors, constraint failures, closed.
    std::unique_ptr<RecordSet> execute(const QString &sql, int options = -1);
    /// Releases the file (it can be copied afterwards). Never throws.
    void close() noexcept;

    /// Full path of the open ledger; empty when closed.
    QString dataSource() const;

private:
    friend class RecordSet;
    std::shared_ptr<ConnectionImpl> m_impl;
};

} // namespace zambrel::store
