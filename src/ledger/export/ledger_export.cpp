#include "ledger/export/ledger_export.h"

#include "base/app_paths.h"
#include "base/number_format.h"
#include "ledger/export/csv_text.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/safe_file.h"

#include <QDir>
#include <QLocale>

#include <array>

namespace zambrel::ledger {
namespace {

struct ExportFile {
    const char *name;
    store::Ledger::Table table;
};

constexpr std::array<ExportFile, 3> kFiles = {{
    {"items.csv", store::Ledger::Table::Items},
    {"types.csv", store::Ledger::Table::Types},
    {"journal.csv", store::Ledger::Table::Journal},
}};

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

/// Whether a spreadsheet would take the text for a formula (or, after a
/// tab or carriage return, skip to one).
bool readAsFormula(const QString &text)
{
    static const QString leaders = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && leaders.contains(text.front()) && !base::isNumeric(text);
}

QString fieldText(const QVariant &value, const ExportOptions &options)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        // The shortest digits that read back as the same number, never in
        // exponent form: spreadsheets and scripts read it either way.
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    const QString text = value.toString();
    if (options.forSpreadsheets && !isNumber(value) && readAsFormula(text))
        return u'\'' + text;
    return text;
}

} // namespace

QStringList exportFileNames()
{
    QStringList names;
    for (const ExportFile &file : kFiles)
        names << QString::fromLatin1(file.name);
    return names;
}

QByteArray tableCsv(const store::ResultTable &table, ExportOptions options)
{
    QString text = csvRecord(table.columns);
    for (const QVariantList &row : table.rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QVariant &value : row)
            fields << fieldText(value, options);
        text += csvRecord(fields);
    }
    QByteArray bytes = options.forSpreadsheets ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return bytes + text.toUtf8();
}

QStringList exportLedger(const store::Ledger &ledger, const QString &folder, ExportOptions options)
{
    const QDir target(folder);
    // The files hold the household's books: no one else may list them.
    if (!base::makePrivateFolder(folder))
        throw store::DbError(store::ErrorKind::Other,
                             QStringLiteral("无法创建文件夹 Cannot create the folder: ") + folder);
    QStringList written;
    for (const ExportFile &file : kFiles) {
        // Read before anything is written: a table that cannot be read
        // leaves no file half replaced.
        const QByteArray bytes = tableCsv(ledger.wholeTable(file.table), options);
        const QString path = target.absoluteFilePath(QString::fromLatin1(file.name));
        store::writeFileAtomically(path, [&bytes](QByteArray &piece) {
            piece = bytes;
            return false;
        });
        written << path;
    }
    return written;
}

} // namespace zambrel::ledger
