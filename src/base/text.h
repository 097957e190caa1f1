#pragma once

#include <QString>

namespace zambrel::base {

/// Strips blanks (spaces only) from both ends. Tabs and line breaks stay:
/// the calculator skips them itself, and a memo's line breaks are part of it.
inline QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

/// A stored text (lines ended by CR LF, as the ledger keeps them) as a text
/// box shows it: lines ended by LF.
inline QString shownLines(const QString &stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

/// A text box's text as the ledger keeps it: every line break CR LF.
inline QString storedLines(const QString &shown)
{
    return shownLines(shown).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace zambrel::base
