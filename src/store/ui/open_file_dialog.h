#pragma once

#include <QString>

class QWidget;

namespace zambrel::store {

/// The ledger filter as the callers pass it: description and pattern pairs,
/// each ended by a NUL.
QString ledgerFileFilter();

/// A NUL-separated description/pattern list turned into Qt's filter text
/// ("账本文件(*.mdb)" + NUL + "*.mdb" + NUL -> "账本文件(*.mdb)"); a
/// description that does not already name its pattern gets it appended.
QString qtFileFilter(const QString &pairs);

/// Asks for one existing file, starting in the program folder every time.
/// Returns the chosen full path, or empty text when cancelled.
QString openFileDialog(QWidget *owner, const QString &title, const QString &filter);

} // namespace zambrel::store
