#pragma once

#include <QString>

#include <functional>

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
/// Every caller goes through here, so tests can answer with
/// setOpenFileResponder().
QString openFileDialog(QWidget *owner, const QString &title, const QString &filter);

/// Answers the open-file dialog in place of a person: (owner, title, filter)
/// -> chosen path or empty text.
using OpenFileResponder = std::function<QString(QWidget *owner, const QString &title, const QString &filter)>;

/// Installs `responder` (tests); an empty function brings the dialog back.
/// Returns the previous responder.
OpenFileResponder setOpenFileResponder(OpenFileResponder responder);

} // namespace zambrel::store
