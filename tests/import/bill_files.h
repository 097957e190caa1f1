#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Bill files as the payment apps and banks write them, made by the tests.
namespace zambrel::bills::fixtures {

QByteArray gb18030(const QString &text);

/// A zip archive of the named parts; `level` is zlib's compression level.
QByteArray zipOf(const std::vector<std::pair<QString, QByteArray>> &parts, int level = -1);

/// A workbook whose first sheet (listed first in the workbook, stored as
/// sheet2.xml behind a decoy sheet1.xml) holds `rows`: numbers as numeric
/// cells, other text as shared strings up to `inlineFromRow` (from 0) and as
/// inline strings from there on.
QByteArray xlsxWorkbook(const std::vector<QStringList> &rows, int inlineFromRow = 1 << 30);

/// The account lines WeChat Pay writes above its table (sixteen of them).
QStringList weChatHead();

/// A WeChat Pay bill as its CSV export (UTF-8, CR LF): the account lines,
/// the column header and `rows`, the first of them on line 18.
QByteArray weChatCsv(const QStringList &rows);

/// Joins the lines with CR LF, as the apps write them.
QString crlfLines(const QStringList &lines);

} // namespace zambrel::bills::fixtures
