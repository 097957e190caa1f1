#include "long_lines.h"

namespace zambrel::journal {

CutText cutLongLines(const QString &text, int longest)
{
    CutText cut;
    // Most texts have no long line: they are shared, not copied.
    bool anyLong = false;
    for (qsizetype start = 0; start <= text.size() && !anyLong;) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        anyLong = end - start > longest;
        start = end + 1;
    }
    if (!anyLong) {
        cut.display = text;
        return cut;
    }

    cut.display.reserve(text.size() + text.size() / longest + 1);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype lineEnd = text.indexOf(u'\n', at);
        if (lineEnd < 0)
            lineEnd = text.size();
        while (lineEnd - at > longest) {
            qsizetype end = at + longest;
            // A blank near the end makes a cut between words.
            for (qsizetype blank = end - 1; blank >= end - longest / 10; --blank) {
                if (text[blank].isSpace()) {
                    end = blank + 1;
                    break;
                }
            }
            if (end - 1 > at && text[end - 1].isHighSurrogate())
                --end;
            cut.display += QStringView(text).mid(at, end - at);
            cut.cuts.push_back(int(cut.display.size()));
            cut.display += u'\n';
            at = end;
        }
        // The rest of the line fits; its line feed comes with it.
        const qsizetype next = lineEnd < text.size() ? lineEnd + 1 : lineEnd;
        cut.display += QStringView(text).mid(at, next - at);
        at = next;
    }
    return cut;
}

QString joinCuts(const QString &display, const std::vector<int> &cuts)
{
    if (cuts.empty())
        return display;
    QString text;
    text.reserve(display.size() - qsizetype(cuts.size()));
    qsizetype from = 0;
    for (const int cut : cuts) {
        text += QStringView(display).mid(from, cut - from);
        from = cut + 1;
    }
    text += QStringView(display).mid(from);
    return text;
}

} // namespace zambrel::journal
