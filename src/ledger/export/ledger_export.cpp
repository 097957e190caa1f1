#include "ledger/export/ledger_export.h"

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

QString fieldText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        // The shortest digits that read back as the same number, never in
        // exponent form: spreadsheets and scripts read it either way.
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    return value.toString();
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
            fields << fieldText(value);
        text += csvRecord(fields);
    }
    QByteArray bytes = options.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return bytes + text.toUtf8();
}

QStringList exportLedger(const store::Ledger &ledger, const QString &folder, ExportOptions options)
{
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral(".")))
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
