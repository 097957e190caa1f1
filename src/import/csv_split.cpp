#include "import/csv_split.h"

namespace zambrel::bills {

namespace {

// A quoted field in a bill holds a remark at most; one that runs on longer
// than this has lost its closing quote.
constexpr int kMaxLinesInQuotedField = 20;

class CsvScanner {
public:
    CsvScanner(QStringView text, QChar separator) : m_text(text), m_separator(separator) {}

    std::vector<TableRow> records()
    {
        std::vector<TableRow> rows;
        while (m_pos < m_text.size()) {
            const qsizetype start = m_pos;
            const int startLine = m_line;
            TableRow row;
            row.line = startLine;
            if (readRecord(row.cells, true)) {
                rows.push_back(std::move(row));
                continue;
            }
            // The quote never closed: read its line again with quotes as
            // plain characters, then go on from the next line.
            m_pos = start;
            m_line = startLine;
            row.cells.clear();
            readRecord(row.cells, false);
            row.unclosedQuote = true;
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    bool atLineEnd() const { return m_text[m_pos] == u'\n' || m_text[m_pos] == u'\r'; }

    void skipLineEnd()
    {
        if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        ++m_line;
    }

    // Reads one record from m_pos; false when a quoted field did not close.
    bool readRecord(QStringList &cells, bool quotes)
    {
        for (;;) {
            QString field;
            if (quotes && startsQuoted()) {
                if (!readQuoted(field))
                    return false;
            }
            const qsizetype from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != m_separator && !atLineEnd())
                ++m_pos;
            field += m_text.sliced(from, m_pos - from);
            cells.append(field);
            if (m_pos < m_text.size() && m_text[m_pos] == m_separator) {
                ++m_pos;
                continue;
            }
            skipLineEnd();
            return true;
        }
    }

    // True when the field at m_pos opens with a quote after blanks; m_pos
    // then stands on the quote.
    bool startsQuoted()
    {
        qsizetype at = m_pos;
        while (at < m_text.size() && (m_text[at] == u' ' || m_text[at] == u'\t') && m_text[at] != m_separator)
            ++at;
        if (at < m_text.size() && m_text[at] == u'"') {
            m_pos = at;
            return true;
        }
        return false;
    }

    // True when only blanks stand between m_pos and the field's end.
    bool endsField() const
    {
        qsizetype at = m_pos;
        while (at < m_text.size() && (m_text[at] == u' ' || m_text[at] == u'\t') && m_text[at] != m_separator)
            ++at;
        return at == m_text.size() || m_text[at] == m_separator || m_text[at] == u'\n' || m_text[at] == u'\r';
    }

    bool readQuoted(QString &field)
    {
        ++m_pos; // the opening quote
        int lines = 0;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (c == u'"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'"') {
                    field += u'"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                // Closing lines later, it must end the field: otherwise it
                // opens a field further on, and this quote never closed.
                return lines == 0 || endsField();
            }
            if (c == u'\n' || (c == u'\r' && !(m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n'))) {
                if (++lines > kMaxLinesInQuotedField)
                    return false;
                ++m_line;
            }
            field += c;
            ++m_pos;
        }
        return false;
    }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

std::vector<TableRow> splitCsv(QStringView text, QChar separator)
{
    return CsvScanner(text, separator).records();
}

} // namespace zambrel::bills
