#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace zambrel::ledger {

/// One field as RFC 4180 writes it: between double quotes (each quote
/// doubled) when it holds a comma, a quote, a line break or blank space at
/// either end; otherwise as it is. Control characters other than tab, line
/// feed and carriage return are written as their pictures (controlPictures()):
/// a NUL or an escape sequence read from the ledger never reaches the file raw.
QString csvField(const QString &text);

/// One record: the fields joined by commas and ended by CR LF.
QString csvRecord(const QStringList &fields);

/// `text` with each control character (U+0000 to U+001F, U+007F) that is not
/// in `kept` replaced by its picture from the Unicode block Control Pictures:
/// NUL by U+2400 "␀", line feed by U+240A "␊", escape by U+241B "␛", delete
/// by U+2421 "␡".
QString controlPictures(const QString &text, QStringView kept = {});

} // namespace zambrel::ledger
