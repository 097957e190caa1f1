#pragma once

#include <QString>

namespace zambrel::store {

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

} // namespace zambrel::store
