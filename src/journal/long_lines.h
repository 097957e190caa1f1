#pragma once

#include <QString>

#include <vector>

namespace zambrel::journal {

/// Laying a line out in a text box takes time that grows with the square of
/// the line's length when it has no place to break (a pasted block of
/// base64, a long address): a 10 MB line would keep a box busy for minutes.
/// So a box shows a line longer than this cut into display lines of at most
/// this many characters; the cuts are no part of the text.
inline constexpr int kLongLine = 2000;

/// A text as a box shows it: `display` is the text with a line feed put in at
/// each cut, and `cuts` are the positions of those line feeds in `display`,
/// ascending.
struct CutText {
    QString display;
    std::vector<int> cuts;
};

/// Cuts each line of `text` (lines end in "\n") longer than `longest`
/// characters into pieces of at most that many, each ending after the last
/// blank in its final tenth where there is one; never between the two
/// halves of a surrogate pair. Text without such lines comes back as it is,
/// without cuts.
CutText cutLongLines(const QString &text, int longest = kLongLine);

/// `display` without the line feeds at `cuts` (ascending positions in
/// `display`): the text cutLongLines() was given.
QString joinCuts(const QString &display, const std::vector<int> &cuts);

} // namespace zambrel::journal
