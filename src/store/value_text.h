#pragma once

#include <QString>

namespace zambrel::store {

/// The one way a text value goes between single quotes in a statement:
/// embedded single quotes are doubled. Returns the text without the
/// surrounding quotes (the statement shapes carry those).
QString sqlText(const QString &value);

} // namespace zambrel::store
