#include "jet_sql.h"

#include "db_error.h"

#include <QList>

namespace zambrel::store::jet {
namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c.isSurrogate() ||
           c.unicode() > 0x7f;
}

/// Index just past a quoted run starting at `start` (the opening quote);
/// doubled closing quotes stand for themselves.
qsizetype endOfQuoted(QStringView sql, qsizetype start, QChar close)
{
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

bool isWord(const Token &token, const char *word)
{
    return token.kind == TokenKind::Word && token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const Token &token, char c)
{
    return token.kind == TokenKind::Punct && token.text.size() == 1 && token.text[0] == QLatin1Char(c);
}

/// Index of the next token that is not blank, or tokens.size().
size_t nextSolid(const std::vector<Token> &tokens, size_t from)
{
    while (from < tokens.size() && tokens[from].kind == TokenKind::Space)
        ++from;
    return from;
}

} // namespace

std::vector<Token> tokenize(QStringView sql)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        TokenKind kind = TokenKind::Punct;
        if (c.isSpace()) {
            kind = TokenKind::Space;
            while (end < sql.size() && sql[end].isSpace())
                ++end;
        } else if (c == QLatin1Char('\'')) {
            kind = TokenKind::String;
            end = endOfQuoted(sql, i, QLatin1Char('\''));
        } else if (c == QLatin1Char('"')) {
            kind = TokenKind::QuotedName;
            end = endOfQuoted(sql, i, QLatin1Char('"'));
        } else if (c == QLatin1Char('[')) {
            kind = TokenKind::Bracketed;
            end = endOfQuoted(sql, i, QLatin1Char(']'));
        } else if (c == QLatin1Char('@')) {
            kind = TokenKind::Variable;
            while (end < sql.size() && (sql[end] == QLatin1Char('@') || isWordChar(sql[end])))
                ++end;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < sql.size() && sql[i + 1].isDigit())) {
            kind = TokenKind::Number;
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('.')))
                ++end;
        } else if (isWordChar(c)) {
            kind = TokenKind::Word;
            while (end < sql.size() && isWordChar(sql[end]))
                ++end;
        }
        tokens.push_back({kind, sql.mid(i, end - i).toString()});
        i = end;
    }
    return tokens;
}

QString translate(QStringView sql)
{
    std::vector<Token> tokens = tokenize(sql);
    // One entry per open parenthesis level (level 0 = the statement): the
    // LIMIT owed by a TOP at that level.
    std::vector<QString> owedLimit(1);
    QString out;
    out.reserve(sql.size() + 16);
    bool selectsIdentity = false;

    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &token = tokens[i];
        if (isPunct(token, '(')) {
            owedLimit.emplace_back();
        } else if (isPunct(token, ')') && owedLimit.size() > 1) {
            if (!owedLimit.back().isEmpty())
                out += QStringLiteral(" LIMIT ") + owedLimit.back();
            owedLimit.pop_back();
        } else if (isWord(token, "select")) {
            // SELECT [DISTINCT|ALL] TOP n
            size_t j = nextSolid(tokens, i + 1);
            if (j < tokens.size() && (isWord(tokens[j], "distinct") || isWord(tokens[j], "all")))
                j = nextSolid(tokens, j + 1);
            if (j < tokens.size() && isWord(tokens[j], "top")) {
                const size_t n = nextSolid(tokens, j + 1);
                if (n < tokens.size() && tokens[n].kind == TokenKind::Number) {
                    owedLimit.back() = tokens[n].text;
                    // Copy up to TOP, then skip "TOP n".
                    for (size_t k = i; k < j; ++k)
                        out += tokens[k].text;
                    i = n;
                    continue;
                }
            }
        } else if (isWord(token, "delete")) {
            const size_t j = nextSolid(tokens, i + 1);
            if (j < tokens.size() && isPunct(tokens[j], '*')) {
                out += token.text;
                i = j;
                continue;
            }
        } else if (token.kind == TokenKind::Variable &&
                   token.text.compare(QLatin1String("@@identity"), Qt::CaseInsensitive) == 0) {
            out += QStringLiteral("last_insert_rowid()");
            selectsIdentity = owedLimit.size() == 1;
            continue;
        } else if (selectsIdentity && owedLimit.size() == 1 && isWord(token, "from")) {
            // "SELECT @@Identity AS x FROM table" reads the one value, not one
            // copy per row of the table: drop a plain "FROM table" at the end.
            const size_t table = nextSolid(tokens, i + 1);
            if (table < tokens.size() &&
                (tokens[table].kind == TokenKind::Word || tokens[table].kind == TokenKind::Bracketed)) {
                size_t rest = nextSolid(tokens, table + 1);
                if (rest < tokens.size() && isPunct(tokens[rest], ';'))
                    rest = nextSolid(tokens, rest + 1);
                if (rest == tokens.size()) {
                    i = table;
                    continue;
                }
            }
        }
        out += token.text;
    }

    if (!owedLimit.front().isEmpty()) {
        // Before a trailing ';' and the blanks around it.
        qsizetype cut = out.size();
        while (cut > 0 && (out[cut - 1].isSpace() || out[cut - 1] == QLatin1Char(';')))
            --cut;
        out.insert(cut, QStringLiteral(" LIMIT ") + owedLimit.front());
    }
    return out;
}

QString baseTable(QStringView sql)
{
    const std::vector<Token> tokens = tokenize(sql);
    int depth = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (isPunct(tokens[i], '('))
            ++depth;
        else if (isPunct(tokens[i], ')'))
            --depth;
        else if (depth == 0 && isWord(tokens[i], "from")) {
            const size_t j = nextSolid(tokens, i + 1);
            if (j >= tokens.size())
                return {};
            const Token &name = tokens[j];
            if (name.kind == TokenKind::Word)
                return name.text;
            if ((name.kind == TokenKind::Bracketed || name.kind == TokenKind::QuotedName) &&
                name.text.size() >= 2)
                return name.text.mid(1, name.text.size() - 2);
            return {};
        }
    }
    return {};
}

std::optional<PasswordChange> parsePasswordChange(QStringView sql)
{
    const std::vector<Token> tokens = tokenize(sql);
    size_t i = nextSolid(tokens, 0);
    if (i >= tokens.size() || !isWord(tokens[i], "alter"))
        return std::nullopt;
    i = nextSolid(tokens, i + 1);
    if (i >= tokens.size() || !isWord(tokens[i], "database"))
        return std::nullopt;

    const DbError malformed(kErrSyntax, QStringLiteral("修改密码的语句有误 Malformed password statement"));
    i = nextSolid(tokens, i + 1);
    if (i >= tokens.size() || !isWord(tokens[i], "password"))
        throw malformed;

    // A password is a [bracketed] token or a run of tokens up to the next blank.
    auto readPassword = [&](size_t &at) -> QString {
        at = nextSolid(tokens, at);
        if (at >= tokens.size())
            throw malformed;
        const Token &first = tokens[at];
        if (first.kind == TokenKind::Bracketed) {
            if (!first.text.endsWith(QLatin1Char(']')) || first.text.size() < 2)
                throw malformed;
            ++at;
            return first.text.mid(1, first.text.size() - 2)
                .replace(QStringLiteral("]]"), QStringLiteral("]"));
        }
        QString word;
        while (at < tokens.size() && tokens[at].kind != TokenKind::Space)
            word += tokens[at++].text;
        if (word.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0)
            return {};
        return word;
    };

    PasswordChange change;
    size_t at = i + 1;
    change.newPassword = readPassword(at);
    change.oldPassword = readPassword(at);
    at = nextSolid(tokens, at);
    if (at < tokens.size() && isPunct(tokens[at], ';'))
        at = nextSolid(tokens, at + 1);
    if (at != tokens.size())
        throw malformed;
    return change;
}

namespace {

/// One class "[...]" starting at pattern[at] == '['. Sets `next` past the
/// closing ']' and returns whether `c` is matched; nullopt when unterminated
/// (then '[' is an ordinary character).
std::optional<bool> matchClass(const std::u32string &pattern, size_t at, char32_t c, size_t &next)
{
    size_t i = at + 1;
    bool negate = false;
    if (i < pattern.size() && pattern[i] == U'!') {
        negate = true;
        ++i;
    }
    const size_t first = i;
    bool found = false;
    while (i < pattern.size() && (pattern[i] != U']' || i == first)) {
        char32_t low = pattern[i];
        char32_t high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == U'-' && pattern[i + 2] != U']') {
            high = pattern[i + 2];
            i += 3;
        } else {
            ++i;
        }
        if (low <= c && c <= high)
            found = true;
    }
    if (i >= pattern.size())
        return std::nullopt;
    next = i + 1;
    return found != negate;
}

std::u32string folded(QStringView text)
{
    const QList<uint> ucs4 = text.toString().toCaseFolded().toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

} // namespace

bool like(QStringView patternText, QStringView subjectText, QChar escape)
{
    const std::u32string pattern = folded(patternText);
    const std::u32string text = folded(subjectText);
    const char32_t escapeChar = escape.isNull() ? 0 : QString(escape).toCaseFolded().toUcs4().value(0);

    // Greedy match with backtracking to the last '%'.
    size_t p = 0, t = 0;
    size_t starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        bool advanced = false;
        if (p < pattern.size()) {
            const char32_t pc = pattern[p];
            if (pc == U'%' && !(escapeChar && pc == escapeChar)) {
                starP = ++p;
                starT = t;
                continue;
            }
            if (escapeChar && pc == escapeChar && p + 1 < pattern.size()) {
                if (pattern[p + 1] == text[t]) {
                    p += 2;
                    ++t;
                    advanced = true;
                }
            } else if (pc == U'_') {
                ++p;
                ++t;
                advanced = true;
            } else if (pc == U'[') {
                size_t next = 0;
                const std::optional<bool> inClass = matchClass(pattern, p, text[t], next);
                if (!inClass ? text[t] == U'[' : *inClass) {
                    p = inClass ? next : p + 1;
                    ++t;
                    advanced = true;
                }
            } else if (pc == text[t]) {
                ++p;
                ++t;
                advanced = true;
            }
        }
        if (advanced)
            continue;
        if (starP == std::u32string::npos)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == U'%')
        ++p;
    return p == pattern.size();
}

} // namespace zambrel::store::jet
