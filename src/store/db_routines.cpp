#include "db_routines.h"

#include "connection.h"
#include "db_error.h"
#include "message.h"
#include "mod_db.h"
#include "record_set.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zambrel::store {
namespace {

const QString kShapingPrefix = QStringLiteral("Provider=MSDataShape;Data ");

/// Shows the busy pointer for its lifetime (also on error roads).
class BusyPointer {
public:
    BusyPointer() { set(true); }
    ~BusyPointer() { set(false); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    static void set(bool busy) noexcept
    {
        try {
            if (modDB::uiHooks().setBusyPointer)
                modDB::uiHooks().setBusyPointer(busy);
        } catch (...) {
        }
    }
};

enum class Caller { OpenRS, OpenReadRS };

/// Makes the program-wide connection usable: created when missing, reopened
/// when closed, used as it is when open. @throws DbError
std::shared_ptr<Connection> usableConnection(Caller caller, const QString &connectionText, bool shaping,
                                             int timeoutSeconds)
{
    std::shared_ptr<Connection> connection = modDB::connection();
    if (connection && connection->state() == adStateOpen)
        return connection;

    QString text = connectionText;
    const bool missing = !connection;
    if (text.isEmpty()) {
        const bool prefixed = caller == Caller::OpenReadRS ? shaping : !missing;
        text = prefixed ? kShapingPrefix + modDB::connectionString() : modDB::connectionString();
    }
    if (missing) {
        connection = std::make_shared<Connection>();
        modDB::setConnection(connection);
    }
    connection->setConnectionString(text);
    if (caller == Caller::OpenReadRS)
        connection->setCommandTimeout(timeoutSeconds);
    else if (!missing)
        connection->setCommandTimeout(100);
    connection->open();
    return connection;
}

} // namespace

QString sqlText(const QString &value)
{
    QString text = value;
    return text.replace(QLatin1Char('\''), QStringLiteral("''"));
}

std::unique_ptr<RecordSet> OpenRS(const QString &sql, const QString &connectionText)
{
    if (sql.isEmpty())
        return nullptr;
    BusyPointer busy;
    try {
        std::shared_ptr<Connection> connection = usableConnection(Caller::OpenRS, connectionText, false, 0);
        QCoreApplication::processEvents();
        auto records = std::make_unique<RecordSet>();
        records->setLockType(adLockBatchOptimistic);
        records->open(sql, *connection);
        return records;
    } catch (const DbError &error) {
        showMessage(error.description() + QStringLiteral("\n\n无法查询。"), vbOKOnly, {});
        // The next query starts over with a fresh connection.
        if (std::shared_ptr<Connection> connection = modDB::connection())
            connection->close();
        modDB::setConnection(nullptr);
        return nullptr;
    }
}

std::unique_ptr<RecordSet> OpenReadRS(const QString &sql, const QString &connectionText, bool shaping,
                                      int timeoutSeconds)
{
    if (sql.isEmpty())
        return nullptr;
    BusyPointer busy;
    try {
        std::shared_ptr<Connection> connection =
            usableConnection(Caller::OpenReadRS, connectionText, shaping, timeoutSeconds);
        auto records = std::make_unique<RecordSet>();
        records->setLockType(adLockReadOnly);
        records->open(sql, *connection);
        records->setActiveConnection(nullptr);
        return records;
    } catch (const DbError &) {
        if (modDB::uiHooks().copyToClipboard)
            modDB::uiHooks().copyToClipboard(sql);
        return nullptr;
    }
}

bool SaveRS(RecordSet *records, bool countCheck, Connection *connection, int timeoutSeconds)
{
    if (!records)
        return false;
    if (countCheck && records->recordCount() < 1)
        return false;
    try {
        std::shared_ptr<Connection> fresh;
        if (!connection) {
            // The ledger is locked by the program-wide connection while it is
            // open, so a second connection could never write: use that one.
            std::shared_ptr<Connection> programWide = modDB::connection();
            if (programWide && programWide->state() == adStateOpen) {
                connection = programWide.get();
            } else {
                fresh = std::make_shared<Connection>();
                fresh->open(modDB::connectionString());
                connection = fresh.get();
            }
        }
        connection->setCommandTimeout(timeoutSeconds);
        records->setActiveConnection(connection);
        records->updateBatch(adAffectAll);
        return true;
    } catch (const DbError &error) {
        QString description = error.description();
        const qsizetype carriageReturn = description.indexOf(QLatin1Char('\r'));
        if (carriageReturn >= 0)
            description = description.mid(carriageReturn + 1);
        QString text = description + QStringLiteral("\n\n无法更新数据，请检查输入的格式。");
        if (error.number() == kErrSyntax)
            text = QStringLiteral("数据唯一性受到影响\n") + text;
        // The number as the engine reports it: a negative 32-bit value.
        showMessage(text, vbCritical, QString::number(qint32(quint32(error.number()))));
        return false;
    }
}

bool ExecSQL(const QString &sql)
{
    try {
        std::shared_ptr<Connection> connection = modDB::connection();
        if (!connection || connection->state() != adStateOpen)
            connection = usableConnection(Caller::OpenRS, {}, false, 0);
        connection->execute(sql, adCmdText | adExecuteNoRecords);
        return true;
    } catch (const DbError &error) {
        showMessage(error.description(), vbInformation, {});
        return false;
    }
}

namespace {

/// Numeric text: blanks around it, a sign, digits (groups of digits may be
/// separated by ','), a decimal point, an exponent. No hex, no "inf"/"nan".
bool readNumber(const QString &text, double &value)
{
    static const QRegularExpression numeric(
        QStringLiteral("^[+-]?(?:\\d+(?:,\\d+)*(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?$"));
    const QString trimmed = text.trimmed();
    if (!numeric.match(trimmed).hasMatch())
        return false;
    bool ok = false;
    const double number = QString(trimmed).remove(QLatin1Char(',')).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

} // namespace

double toNumber(const QString &text)
{
    double value = 0;
    return readNumber(text, value) ? value : 0.0;
}

bool isNumeric(const QString &text)
{
    double value = 0;
    return readNumber(text, value);
}

QString numberText(const QString &text)
{
    double value = 0;
    return readNumber(text, value) ? numberToText(value) : QStringLiteral("0");
}

namespace {

// The shortest digits that read back as `value` (finite, not 0), when there
// are at most 15: they are then also its rounding to 15 significant digits,
// as a double's half unit is less than half a unit of the 15th digit. Fills
// `digits` (no sign, no point) and `exponent` (of the first digit); returns
// the count, or 0 when more digits are needed.
int shortestDigits(double value, char (&digits)[24], int &exponent)
{
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific);
    const char *mark = std::find(buffer, written.ptr, 'e');
    if (written.ec != std::errc() || mark == written.ptr)
        return 0;
    int count = 0;
    for (const char *at = buffer; at < mark && count < 16; ++at)
        if (*at != '.')
            digits[count++] = *at;
    if (count > 15)
        return 0;
    const char *exponentAt = mark + 1;
    if (exponentAt < written.ptr && *exponentAt == '+')
        ++exponentAt;
    std::from_chars(exponentAt, written.ptr, exponent);
    return count;
}

// `value` (finite, not 0) as QString::number(value, 'g', 15) writes it, into
// `buffer` (at least 40 characters); the end of the text, or nullptr where
// only Qt's own conversion gives Qt's text: an exponent form, or an exact tie
// at the 16th digit (Qt rounds it up, the C library to even). Qt's
// conversion is several times slower, and a month writes thousands of
// amounts. `exact` tells whether the text reads back as `value` itself.
char *fifteenDigits(double value, char *buffer, std::size_t size, bool &exact)
{
    char digits[24];
    int exponent = 0;
    exact = false;
    if (const int count = shortestDigits(value, digits, exponent)) {
        if (exponent < -4 || exponent >= 15)
            return nullptr;
        char *out = buffer;
        if (value < 0)
            *out++ = '-';
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -exponent - 1, '0');
            out = std::copy(digits, digits + count, out);
        } else {
            const int whole = exponent + 1;
            out = std::copy(digits, digits + std::min(count, whole), out);
            if (count < whole)
                out = std::fill_n(out, whole - count, '0');
            if (count > whole) {
                *out++ = '.';
                out = std::copy(digits + whole, digits + count, out);
            }
        }
        exact = true;
        return out;
    }
    const auto sixteen = std::to_chars(buffer, buffer + size, value, std::chars_format::scientific, 15);
    const char *mark = sixteen.ec == std::errc() ? std::find(buffer, sixteen.ptr, 'e') : nullptr;
    if (!mark || mark == sixteen.ptr || mark[-1] == '5')
        return nullptr;
    const auto fifteen = std::to_chars(buffer, buffer + size, value, std::chars_format::general, 15);
    if (fifteen.ec != std::errc() || std::find(buffer, fifteen.ptr, 'e') != fifteen.ptr)
        return nullptr;
    return fifteen.ptr;
}

} // namespace

double throughFifteenDigits(double value)
{
    if (!std::isfinite(value))
        return QString::number(value, 'g', 15).toDouble();
    char digits[24];
    int exponent = 0;
    if (value == 0 || shortestDigits(value, digits, exponent))
        return value;
    char buffer[40];
    const auto sixteen =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 15);
    const char *mark = sixteen.ec == std::errc() ? std::find(buffer, sixteen.ptr, 'e') : nullptr;
    if (!mark || mark == sixteen.ptr || mark[-1] == '5')
        return QString::number(value, 'g', 15).toDouble();
    const auto fifteen = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double result = 0;
    std::from_chars(buffer, fifteen.ptr, result);
    return result;
}

QString numberToText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    char buffer[40];
    bool exact = false;
    if (const char *end = fifteenDigits(value, buffer, sizeof buffer, exact))
        return QString::fromLatin1(buffer, end - buffer);
    return QString::number(value, 'g', 15);
}

NumberWithText numberWithText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return {0, QStringLiteral("0")};
    char buffer[40];
    bool exact = false;
    if (const char *end = fifteenDigits(value, buffer, sizeof buffer, exact)) {
        NumberWithText written{value, QString::fromLatin1(buffer, end - buffer)};
        if (!exact)
            std::from_chars(buffer, end, written.value);
        return written;
    }
    NumberWithText written{0, QString::number(value, 'g', 15)};
    written.value = toNumber(written.text);
    return written;
}

QString typeKind(const QString &typeName, RecordSet *types)
{
    if (!types || types->state() != adStateOpen)
        return {};
    try {
        types->moveFirst();
        const int typeField = types->fieldIndex(QStringLiteral("types"));
        const int kindField = types->fieldIndex(QStringLiteral("kind"));
        if (typeField < 0 || kindField < 0)
            return {};
        for (; !types->eof(); types->moveNext()) {
            if (types->value(typeField).toString() == typeName)
                return types->value(kindField).toString();
        }
    } catch (const DbError &) {
    }
    return {};
}

QHash<QString, QString> typeKinds(RecordSet *types)
{
    QHash<QString, QString> kinds;
    if (!types || types->state() != adStateOpen)
        return kinds;
    try {
        const int typeField = types->fieldIndex(QStringLiteral("types"));
        const int kindField = types->fieldIndex(QStringLiteral("kind"));
        if (typeField < 0 || kindField < 0)
            return kinds;
        for (types->moveFirst(); !types->eof(); types->moveNext()) {
            const QString type = types->value(typeField).toString();
            if (!kinds.contains(type))
                kinds.insert(type, types->value(kindField).toString());
        }
    } catch (const DbError &) {
    }
    return kinds;
}

void showStatus(const QString &text, int panel)
{
    try {
        if (!modDB::mainWindow() || !modDB::uiHooks().setStatusText)
            return;
        QString shown = text;
        shown.replace(QLatin1Char(':'), QStringLiteral("："));
        modDB::uiHooks().setStatusText(shown, panel);
    } catch (...) {
    }
}

} // namespace zambrel::store
