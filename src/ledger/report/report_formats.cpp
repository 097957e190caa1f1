#include "ledger/report/report_formats.h"

#include "ledger/export/csv_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace zambrel::ledger {
namespace {

/// Places a character takes in a terminal: two for the wide characters of
/// East Asian scripts and full-width forms, one otherwise.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

QString padded(const QString &text, int width, bool right)
{
    const QString fill(std::max(0, width - displayWidth(text)), u' ');
    return right ? fill + text : text + fill;
}

// The text report goes to a terminal: a name holding a line break or an
// escape sequence must neither split its row nor reach the terminal raw.
QString shown(const QString &text)
{
    return controlPictures(text);
}

QString textTable(const ReportCategory &category)
{
    const int columns = int(category.columns.size());
    std::vector<int> widths(std::size_t(columns), 0);
    for (int column = 0; column < columns; ++column) {
        widths[std::size_t(column)] = displayWidth(category.columns[column]);
        for (const ReportRow &row : category.rows)
            widths[std::size_t(column)] =
                std::max(widths[std::size_t(column)], displayWidth(shown(row.cells[column])));
    }
    const auto line = [&](const QStringList &cells) {
        QString text;
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                text += QStringLiteral("  ");
            // Names read from the left, figures line up on the right.
            text += padded(shown(cells.value(column)), widths[std::size_t(column)], column >= 2);
        }
        // Trailing blanks only hide where a line ends.
        while (text.endsWith(u' '))
            text.chop(1);
        return text + u'\n';
    };
    QString text = shown(category.caption) + u'\n' + line(category.columns);
    for (const ReportRow &row : category.rows)
        text += line(row.cells);
    return text + shown(category.totalText) + u'\n';
}

QString csvCell(const ReportRow &row, int column)
{
    return row.cells.value(column);
}

} // namespace

std::optional<ReportFormat> reportFormatNamed(const QString &name)
{
    const QString word = name.toLower();
    if (word == QLatin1String("text"))
        return ReportFormat::Text;
    if (word == QLatin1String("csv"))
        return ReportFormat::Csv;
    if (word == QLatin1String("json"))
        return ReportFormat::Json;
    return std::nullopt;
}

QByteArray reportText(const MonthReport &report)
{
    QString text = QStringLiteral("账本 Ledger: ") + shown(report.ledgerPath) + u'\n' +
                   QStringLiteral("月份 Month: ") + report.month + u'\n';
    for (const ReportCategory &category : report.categories)
        text += u'\n' + textTable(category);
    text += QStringLiteral("\n状态 Status\n") + shown(report.statusLine.trimmed()) + u'\n';
    QStringList advice;
    for (const QString &line : report.advice)
        advice << shown(line);
    text += QStringLiteral("\n建议 Advice\n") + advice.join(u'\n') + u'\n';
    return text.toUtf8();
}

QByteArray reportCsv(const MonthReport &report)
{
    QString text = csvRecord({QStringLiteral("category"), QStringLiteral("kind"), QStringLiteral("group"),
                              QStringLiteral("name"), QStringLiteral("amount"),
                              QStringLiteral("second amount"), QStringLiteral("share")});
    for (const ReportCategory &category : report.categories) {
        const int columns = int(category.columns.size());
        const bool fiveColumns = columns > 4;
        for (const ReportRow &row : category.rows) {
            text += csvRecord({category.key, row.isGroup ? QStringLiteral("group") : QStringLiteral("item"),
                               row.isGroup ? csvCell(row, 0) : row.group, csvCell(row, 1), csvCell(row, 2),
                               fiveColumns ? csvCell(row, 3) : QString(), csvCell(row, columns - 1)});
        }
        text += csvRecord({category.key, QStringLiteral("total"), {}, category.totalText, {}, {}, {}});
    }
    const QString assessment = QStringLiteral("assessment");
    text += csvRecord({assessment, QStringLiteral("status"), {}, report.statusLine, {}, {}, {}});
    for (const QString &line : report.advice)
        text += csvRecord({assessment, QStringLiteral("advice"), {}, line, {}, {}, {}});
    return text.toUtf8();
}

QByteArray reportJson(const MonthReport &report)
{
    QJsonArray categories;
    for (const ReportCategory &category : report.categories) {
        QJsonArray rows;
        for (const ReportRow &row : category.rows) {
            QJsonArray bold;
            for (const bool each : row.bold)
                bold.append(each);
            rows.append(QJsonObject{
                {QStringLiteral("kind"), row.isGroup ? QStringLiteral("group") : QStringLiteral("item")},
                {QStringLiteral("group"), row.group},
                {QStringLiteral("cells"), QJsonArray::fromStringList(row.cells)},
                {QStringLiteral("bold"), bold},
            });
        }
        categories.append(QJsonObject{
            {QStringLiteral("key"), category.key},
            {QStringLiteral("caption"), category.caption},
            {QStringLiteral("columns"), QJsonArray::fromStringList(category.columns)},
            {QStringLiteral("rows"), rows},
            {QStringLiteral("total"), category.total},
            {QStringLiteral("totalText"), category.totalText},
        });
    }
    const QJsonObject summary{
        {QStringLiteral("income"), report.summary.income},
        {QStringLiteral("expenditure"), report.summary.expenditure},
        {QStringLiteral("assets"), report.summary.assets},
        {QStringLiteral("liabilities"), report.summary.liabilities},
        {QStringLiteral("salary"), report.summary.salary},
        {QStringLiteral("unreadableAmounts"), report.summary.unreadableAmounts},
    };
    const QJsonObject whole{
        {QStringLiteral("ledger"), report.ledgerPath},
        {QStringLiteral("month"), report.month},
        {QStringLiteral("categories"), categories},
        {QStringLiteral("summary"), summary},
        {QStringLiteral("previousMonth"), report.previousMonth},
        {QStringLiteral("previousAssets"), report.previousAssets},
        {QStringLiteral("status"), report.statusLine},
        {QStringLiteral("advice"), QJsonArray::fromStringList(report.advice)},
    };
    return QJsonDocument(whole).toJson(QJsonDocument::Indented);
}

QByteArray formatReport(const MonthReport &report, ReportFormat format)
{
    switch (format) {
    case ReportFormat::Csv:
        return reportCsv(report);
    case ReportFormat::Json:
        return reportJson(report);
    case ReportFormat::Text:
        break;
    }
    return reportText(report);
}

} // namespace zambrel::ledger
