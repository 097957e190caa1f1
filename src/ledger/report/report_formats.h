#pragma once

#include "ledger/report/month_report.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zambrel::ledger {

enum class ReportFormat { Text, Csv, Json };

/// "text", "csv" or "json" (letter case ignored); nothing for another word.
std::optional<ReportFormat> reportFormatNamed(const QString &name);

/// The report for reading in a terminal: each category as a table with its
/// columns lined up (Chinese characters take two places), its total line,
/// then the status line and the advice. UTF-8, lines end in LF.
QByteArray reportText(const MonthReport &report);

/// The report as one CSV table (RFC 4180, UTF-8) with the header
/// category,kind,group,name,amount,second amount,share: a record per row
/// (kind group or item), one per total line (kind total, the line in
/// "name"), then the status line and each line of advice (category
/// assessment, kind status or advice, the text in "name"). "second amount"
/// is the fourth column of the five-column lists (actual spending, total
/// cost). Every figure is the text the window shows.
QByteArray reportCsv(const MonthReport &report);

/// The report as a JSON object: ledger, month, categories (key, caption,
/// columns, rows with kind, group, cells and bold, total and totalText),
/// summary, previousMonth, previousAssets, status and advice.
QByteArray reportJson(const MonthReport &report);

QByteArray formatReport(const MonthReport &report, ReportFormat format);

} // namespace zambrel::ledger
