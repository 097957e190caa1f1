#pragma once

#include <QHash>
#include <QString>

#include <memory>

namespace zambrel::store {

class Connection;
class RecordSet;

/// The one way a text value goes between single quotes in a statement:
/// embedded single quotes are doubled. Returns the text without the
/// surrounding quotes (the statement shapes carry those).
QString sqlText(const QString &value);

/// The record-set routines over the program-wide connection (modDB).
/// They make sure the connection is usable first (created or reopened with
/// the program-wide connection string when missing or closed).

/// Updatable (keyset, batch optimistic, client-side, attached) record set,
/// or nullptr on an empty statement or an error. On error: the message
/// routine shows the description + "\n\n无法查询。", and the program-wide
/// connection is closed and released.
std::unique_ptr<RecordSet> OpenRS(const QString &sql, const QString &connectionText = {});

/// Read-only, forward-only, detached record set, or nullptr on an empty
/// statement or error (the statement goes to the clipboard; nothing shown).
std::unique_ptr<RecordSet> OpenReadRS(const QString &sql, const QString &connectionText = {},
                                      bool shaping = false, int timeoutSeconds = 100);

/// Writes the pending rows of `records` in one batch; false (and a message)
/// on error, false without a message when `records` is null or, with
/// `countCheck`, empty. `connection` null: a fresh connection is made with
/// the program-wide connection string.
bool SaveRS(RecordSet *records, bool countCheck, Connection *connection, int timeoutSeconds);

/// Runs a statement that returns no rows on the program-wide connection;
/// false (and an information message with the description) on error.
bool ExecSQL(const QString &sql);

/// The numeric value of a text when it reads as a number (blanks around it
/// allowed), otherwise 0.
double toNumber(const QString &text);
/// True when the text reads as a number for toNumber() (which cannot tell a
/// "0" from text that is no number).
bool isNumeric(const QString &text);
/// A numeric text round-tripped through a number ("12.50" -> "12.5"); "0"
/// for anything else.
QString numberText(const QString &text);
/// A double as the plain text the program writes amounts in (up to 15
/// significant digits, no grouping, no exponent for everyday amounts).
QString numberToText(double value);
/// numberToText() together with the number that text reads back as (what
/// toNumber() gives for it), for callers that keep both.
struct NumberWithText {
    double value = 0;
    QString text;
};
NumberWithText numberWithText(double value);
/// `value` rounded to 15 significant digits, as reading
/// QString::number(value, 'g', 15) back gives it (binary noise such as
/// 1.005 * 100 == 100.49999… taken out before rounding to a picture).
double throughFifteenDigits(double value);

/// The category mask of `typeName` in the type record set (exact match, first
/// row wins); empty when the set is null or closed or the type is missing.
/// Leaves the record set on the row found or at its end.
QString typeKind(const QString &typeName, RecordSet *types);
/// typeKind() for every type at once, for looking up many items: type ->
/// mask, the first row of a type winning. Empty when the set is null or
/// closed or lacks the columns. Leaves the record set at its end.
QHash<QString, QString> typeKinds(RecordSet *types);

/// Writes a text into the main window's status bar (":" becomes "："); does
/// nothing before a main window exists. Never throws.
void showStatus(const QString &text, int panel = 1);

} // namespace zambrel::store
