#include "import/xlsx_sheet.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>

#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

#include <optional>

namespace zambrel::bills {

namespace {

struct Relationship {
    QString type;
    QString target; ///< the part's path inside the package
};

// The parts of one workbook, read through QuaZip with a size budget.
class Package {
public:
    Package(const QByteArray &bytes, qint64 maxPartBytes) : m_maxPartBytes(maxPartBytes)
    {
        m_buffer.setData(bytes);
        m_zip.setIoDevice(&m_buffer);
        if (!m_zip.open(QuaZip::mdUnzip))
            m_failure = QStringLiteral("不是可读的 XLSX 文件 Not a readable XLSX file");
    }

    QString failure() const { return m_failure; }

    // The part's bytes; nothing when it is missing or could not be read (then
    // failure() says why).
    std::optional<QByteArray> part(const QString &path)
    {
        // An empty name would deselect the current file and still succeed.
        if (!m_failure.isEmpty() || path.isEmpty() || !m_zip.setCurrentFile(path, QuaZip::csInsensitive))
            return std::nullopt;
        QuaZipFileInfo64 info;
        if (m_zip.getCurrentFileInfo(&info) && info.uncompressedSize > quint64(m_maxPartBytes))
            return tooLarge(path);
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly))
            return damaged(path);
        QByteArray data;
        char chunk[64 * 1024];
        qint64 got = 0;
        // The sizes in the archive may lie; the bytes unpacked do not.
        while ((got = file.read(chunk, sizeof chunk)) > 0) {
            if (data.size() + got > m_maxPartBytes)
                return tooLarge(path);
            data.append(chunk, qsizetype(got));
        }
        file.close();
        if (got < 0 || file.getZipError() != UNZ_OK)
            return damaged(path);
        return data;
    }

private:
    std::optional<QByteArray> tooLarge(const QString &path)
    {
        m_failure =
            QStringLiteral("XLSX 文件中的 %1 超过 %2 MB，未读取 A part of the workbook is too large to read")
                .arg(path)
                .arg(m_maxPartBytes / (1024 * 1024));
        return std::nullopt;
    }
    std::optional<QByteArray> damaged(const QString &path)
    {
        m_failure = QStringLiteral("XLSX 文件中的 %1 已损坏 A part of the workbook is damaged").arg(path);
        return std::nullopt;
    }

    qint64 m_maxPartBytes;
    QBuffer m_buffer;
    QuaZip m_zip;
    QString m_failure;
};

// A relationship target is relative to the folder of the part that names it
// unless it starts at the package root.
QString resolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = sourcePart.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : sourcePart.left(slash + 1);
    const QString path = QDir::cleanPath(folder + target);
    return path.startsWith(QLatin1String("..")) ? QString() : path;
}

QString relationshipsPartOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

QHash<QString, Relationship> readRelationships(const QByteArray &xml, const QString &sourcePart)
{
    QHash<QString, Relationship> relationships;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"Relationship") {
            const QXmlStreamAttributes attributes = reader.attributes();
            relationships.insert(
                attributes.value(QLatin1String("Id")).toString(),
                {attributes.value(QLatin1String("Type")).toString(),
                 resolveTarget(sourcePart, attributes.value(QLatin1String("Target")).toString())});
        }
    }
    return relationships;
}

std::optional<Relationship> firstOfType(const QHash<QString, Relationship> &relationships,
                                        QStringView typeEnd)
{
    // Hash order is arbitrary; the lowest Id of the type is the one named first.
    std::optional<std::pair<QString, Relationship>> first;
    for (auto it = relationships.cbegin(); it != relationships.cend(); ++it) {
        if (it.value().type.endsWith(typeEnd) && (!first || it.key() < first->first))
            first = std::make_pair(it.key(), it.value());
    }
    return first ? std::optional<Relationship>(first->second) : std::nullopt;
}

// The relationship id of the workbook's first sheet.
QString firstSheetId(const QByteArray &workbookXml)
{
    QXmlStreamReader reader(workbookXml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"sheet")
            continue;
        // r:id, whichever prefix and (transitional or strict) namespace.
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                return attribute.value().toString();
        }
        return {};
    }
    return {};
}

// Text of a string item (<si> or <is>): its <t> runs, without phonetic runs.
QString stringItemText(QXmlStreamReader &reader)
{
    QString text;
    const QString itemName = reader.name().toString();
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == u"rPh")
                reader.skipCurrentElement();
            else if (reader.name() == u"t")
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement && reader.name() == itemName) {
            break;
        }
    }
    return text;
}

std::optional<QStringList> readSharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"si")
            strings.append(stringItemText(reader));
    }
    if (reader.hasError())
        return std::nullopt;
    return strings;
}

// Column index (from 0) of a cell reference such as "AB12"; nothing when it
// lies beyond the columns read.
std::optional<int> columnOf(QStringView reference)
{
    int column = 0;
    qsizetype at = 0;
    for (; at < reference.size() && reference[at].isLetter(); ++at) {
        const char16_t letter = reference[at].toUpper().unicode();
        if (letter < u'A' || letter > u'Z')
            return std::nullopt;
        column = column * 26 + (letter - u'A' + 1);
        if (column > kMaxXlsxColumns)
            return std::nullopt;
    }
    return at == 0 ? std::nullopt : std::optional<int>(column - 1);
}

QString cellText(QXmlStreamReader &reader, const QStringList &sharedStrings)
{
    const QString type = reader.attributes().value(QLatin1String("t")).toString();
    QString value;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == u"v")
                value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (reader.name() == u"is")
                value = stringItemText(reader);
            else
                reader.skipCurrentElement();
        } else if (token == QXmlStreamReader::EndElement && reader.name() == u"c") {
            break;
        }
    }
    if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        return ok && index >= 0 && index < sharedStrings.size() ? sharedStrings[index] : QString();
    }
    return value;
}

SheetRows readSheet(const QByteArray &xml, const QStringList &sharedStrings)
{
    SheetRows sheet;
    QXmlStreamReader reader(xml);
    // Names are matched without their namespace, and resolving it costs a
    // third of the parse on a large sheet.
    reader.setNamespaceProcessing(false);
    int rowNumber = 0;
    TableRow row;
    int nextColumn = 0;
    qint64 cells = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == u"row") {
                bool ok = false;
                const int number = reader.attributes().value(QLatin1String("r")).toInt(&ok);
                rowNumber = ok && number > 0 ? number : rowNumber + 1;
                row = TableRow{rowNumber, {}, false};
                nextColumn = 0;
            } else if (reader.name() == u"c") {
                const QString reference = reader.attributes().value(QLatin1String("r")).toString();
                const std::optional<int> column =
                    reference.isEmpty() ? std::optional<int>(nextColumn) : columnOf(reference);
                const QString text = cellText(reader, sharedStrings);
                if (!column || *column >= kMaxXlsxColumns)
                    continue;
                while (row.cells.size() < *column)
                    row.cells.append(QString());
                if (row.cells.size() == *column)
                    row.cells.append(text);
                else
                    row.cells[*column] = text;
                nextColumn = *column + 1;
            }
        } else if (token == QXmlStreamReader::EndElement && reader.name() == u"row") {
            if (!row.isBlank()) {
                cells += row.cells.size();
                if (cells > kMaxXlsxCells) {
                    sheet.rows.clear();
                    sheet.failure =
                        QStringLiteral(
                            "XLSX 工作表超过 %1 个单元格，未读取 The sheet has too many cells to read")
                            .arg(kMaxXlsxCells);
                    return sheet;
                }
                sheet.rows.push_back(std::move(row));
            }
            row = TableRow{};
        }
    }
    if (reader.hasError()) {
        sheet.rows.clear();
        sheet.failure =
            QStringLiteral("XLSX 工作表无法解析 The sheet's XML is damaged (%1)").arg(reader.errorString());
    }
    return sheet;
}

SheetRows failed(const QString &why)
{
    return SheetRows{why, {}};
}

} // namespace

bool looksLikeZip(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("PK\x03\x04", 4));
}

SheetRows readFirstSheet(const QByteArray &xlsx, qint64 maxPartBytes)
{
    Package package(xlsx, maxPartBytes);
    const auto orFailure = [&package](const QString &otherwise) {
        return failed(package.failure().isEmpty() ? otherwise : package.failure());
    };
    const QString noWorkbook = QStringLiteral("XLSX 文件中没有工作簿 No workbook in the XLSX file");

    QString workbookPath = QStringLiteral("xl/workbook.xml");
    if (const auto packageRels = package.part(QStringLiteral("_rels/.rels"))) {
        if (const auto office = firstOfType(readRelationships(*packageRels, QString()), u"/officeDocument"))
            workbookPath = office->target;
    }
    const auto workbook = package.part(workbookPath);
    if (!workbook)
        return orFailure(noWorkbook);
    const auto workbookRels = package.part(relationshipsPartOf(workbookPath));
    if (!workbookRels)
        return orFailure(noWorkbook);
    const QHash<QString, Relationship> relationships = readRelationships(*workbookRels, workbookPath);

    const QString sheetId = firstSheetId(*workbook);
    const auto sheetRelationship = relationships.constFind(sheetId);
    const QString noSheet = QStringLiteral("XLSX 文件中没有工作表 No sheet in the XLSX file");
    if (sheetId.isEmpty() || sheetRelationship == relationships.cend() || sheetRelationship->target.isEmpty())
        return failed(noSheet);

    QStringList sharedStrings;
    if (const auto strings = firstOfType(relationships, u"/sharedStrings")) {
        const auto xml = package.part(strings->target);
        if (!xml && !package.failure().isEmpty())
            return failed(package.failure());
        if (xml) {
            const auto read = readSharedStrings(*xml);
            if (!read)
                return failed(
                    QStringLiteral("XLSX 共享字符串无法解析 The workbook's shared strings are damaged"));
            sharedStrings = *read;
        }
    }
    const auto sheet = package.part(sheetRelationship->target);
    if (!sheet)
        return orFailure(noSheet);
    return readSheet(*sheet, sharedStrings);
}

} // namespace zambrel::bills
