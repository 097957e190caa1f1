#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace zambrel::store::jet {

/// Lexical pieces of a Jet SQL statement. String literals, bracketed and
/// double-quoted names are single tokens, so nothing inside them is ever
/// rewritten.
enum class TokenKind { Space, Word, Number, String, Bracketed, QuotedName, Variable, Punct };

struct Token {
    TokenKind kind = TokenKind::Punct;
    QString text;
};

/// Splits `sql` into tokens; concatenating their texts gives `sql` back.
/// An unterminated literal or bracket runs to the end of the text.
std::vector<Token> tokenize(QStringView sql);

/// Rewrites the Jet dialect the program speaks into the embedded engine's:
/// "TOP n" (also after DISTINCT, also in sub-selects) becomes a LIMIT at the
/// end of its select; "delete * from" loses the star; "@@Identity" becomes the
/// connection's last inserted row id, and a select of it alone reads one row
/// (its FROM table is dropped). Everything else passes unchanged.
QString translate(QStringView sql);

/// The table named right after the first FROM outside parentheses, without
/// brackets or quotes; empty when there is none.
QString baseTable(QStringView sql);

/// "Alter Database Password NEW OLD": each password is a bare word or a
/// [bracketed] text ("]]" stands for "]"); the word NULL means none.
struct PasswordChange {
    QString newPassword;
    QString oldPassword;
};
/// The parsed statement, or nothing when `sql` is not a password statement.
/// @throws DbError (kErrSyntax) when it starts like one but is malformed.
std::optional<PasswordChange> parsePasswordChange(QStringView sql);

/// Jet's LIKE: '%' any run, '_' one character, "[a-c]" and "[!a-c]" classes;
/// letter case is ignored (Unicode case folding). `escape`, when not null,
/// makes the character after it literal.
bool like(QStringView pattern, QStringView text, QChar escape = QChar());

} // namespace zambrel::store::jet
