#include "bill_files.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QBuffer>
#include <QStringEncoder>

#include <array>

namespace zambrel::bills::fixtures {

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

} // namespace

QByteArray gb18030(const QString &text)
{
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text);
    Q_ASSERT(!encoder.hasError());
    return bytes;
}

QByteArray zipOf(const std::vector<std::pair<QString, QByteArray>> &parts, int level)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto &[name, data] : parts) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, level);
        file.write(data);
        file.close();
    }
    zip.close();
    return buffer.data();
}

QByteArray xlsxWorkbook(const std::vector<QStringList> &rows, int inlineFromRow)
{
    QStringList shared;
    QString sheet =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                       "<sheetData>");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QString rowNumber = QString::number(r + 1);
        sheet += QStringLiteral("<row r=\"%1\">").arg(rowNumber);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString &text = rows[r][c];
            if (text.isEmpty())
                continue;
            const QString ref = columnName(c) + rowNumber;
            bool number = false;
            text.toDouble(&number);
            if (number) {
                sheet += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, text);
            } else if (int(r) >= inlineFromRow) {
                sheet += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>")
                             .arg(ref, escaped(text));
            } else {
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(shared.size());
                shared.append(text);
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");

    // The first string is split in two runs with a phonetic reading, as
    // spreadsheet programs write some strings.
    QString strings =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
    for (qsizetype i = 0; i < shared.size(); ++i) {
        const QString &text = shared[i];
        if (i == 0 && text.size() > 1) {
            strings += QStringLiteral("<si><r><t>%1</t></r><r><t xml:space=\"preserve\">%2</t></r>"
                                      "<rPh sb=\"0\" eb=\"1\"><t>ふりがな</t></rPh></si>")
                           .arg(escaped(text.left(1)), escaped(text.mid(1)));
        } else {
            strings += QStringLiteral("<si><t xml:space=\"preserve\">%1</t></si>").arg(escaped(text));
        }
    }
    strings += QStringLiteral("</sst>");

    const QByteArray workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"bill\" sheetId=\"2\" r:id=\"rId7\"/><sheet name=\"notes\" sheetId=\"1\" "
        "r:id=\"rId1\"/></sheets></workbook>";
    // Relationships of the given ids, kinds and targets.
    const auto relationships = [](std::initializer_list<std::array<const char *, 3>> each) {
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
        for (const auto &[id, kind, target] : each)
            xml += QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/"
                                  "officeDocument/2006/relationships/%2\" Target=\"%3\"/>")
                       .arg(QLatin1String(id), QLatin1String(kind), QLatin1String(target))
                       .toUtf8();
        return xml + "</Relationships>";
    };
    const QByteArray workbookRels = relationships({{"rId1", "worksheet", "worksheets/sheet1.xml"},
                                                   {"rId3", "sharedStrings", "sharedStrings.xml"},
                                                   {"rId7", "worksheet", "/xl/worksheets/sheet2.xml"}});
    const QByteArray packageRels = relationships({{"rId1", "officeDocument", "xl/workbook.xml"}});
    const QByteArray decoy =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>not the bill</t></is>"
        "</c></row></sheetData></worksheet>";
    return zipOf({{QStringLiteral("_rels/.rels"), packageRels},
                  {QStringLiteral("xl/workbook.xml"), workbook},
                  {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels},
                  {QStringLiteral("xl/sharedStrings.xml"), strings.toUtf8()},
                  {QStringLiteral("xl/worksheets/sheet1.xml"), decoy},
                  {QStringLiteral("xl/worksheets/sheet2.xml"), sheet.toUtf8()}});
}

QStringList weChatHead()
{
    return {QStringLiteral("微信支付账单明细,,,,,,,,"),
            QStringLiteral("微信昵称：[小林],,,,,,,,"),
            QStringLiteral("起始时间：[2024-03-01 00:00:00] 终止时间：[2024-04-30 23:59:59],,,,,,,,"),
            QStringLiteral("导出类型：[全部],,,,,,,,"),
            QStringLiteral("导出时间：[2024-05-01 10:00:00],,,,,,,,"),
            QString(),
            QStringLiteral("共6笔记录,,,,,,,,"),
            QStringLiteral("收入：1笔 200.00元,,,,,,,,"),
            QStringLiteral("支出：4笔 111.00元,,,,,,,,"),
            QStringLiteral("中性交易：1笔 500.00元,,,,,,,,"),
            QStringLiteral("注：,,,,,,,,"),
            QStringLiteral("1. 充值/提现/理财通购买/零钱通存取/信用卡还款等交易，将计入中性交易,,,,,,,,"),
            QStringLiteral("2. 本明细仅展示当前账单中的交易，不包括已删除的记录,,,,,,,,"),
            QStringLiteral("3. 本明细仅供个人对账使用,,,,,,,,"),
            QString(),
            QStringLiteral("----------------------微信支付账单明细列表--------------------,,,,,,,,")};
}

QString crlfLines(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QByteArray weChatCsv(const QStringList &rows)
{
    return crlfLines(
               weChatHead() +
               QStringList{QStringLiteral("交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,"
                                          "交易单号,商户单号,备注")} +
               rows)
        .toUtf8();
}

} // namespace zambrel::bills::fixtures
