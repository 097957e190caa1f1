#include "import/bill_reader.h"

#include "import/csv_split.h"
#include "import/payment_bills.h"
#include "import/text_decoding.h"
#include "import/xlsx_sheet.h"

#include <QFile>
#include <QFileInfo>

namespace zambrel::bills {

namespace {

BillReadResult readWorkbook(const QByteArray &content)
{
    const SheetRows sheet = readFirstSheet(content);
    if (!sheet.failure.isEmpty())
        return BillReadResult::failed(sheet.failure);
    const std::optional<PaymentTable> table = findPaymentTable(sheet.rows, true);
    if (!table)
        return BillReadResult::failed(unrecognisedBillText());
    BillReadResult result;
    result.bill.encoding = TextEncoding::Utf8;
    readPaymentRows(sheet.rows, *table, result.bill);
    return result;
}

BillReadResult readText(const QByteArray &content, const std::optional<BankCsvMapping> &mapping)
{
    DecodedText decoded = decodeText(content);
    const std::vector<TableRow> rows = splitCsv(decoded.text, u',');
    BillReadResult result;
    if (const std::optional<PaymentTable> table = findPaymentTable(rows, false)) {
        readPaymentRows(rows, *table, result.bill);
    } else {
        result.mappable = true;
        result.failure = mapping ? mappingProblem(*mapping) : unrecognisedBillText();
        if (!result.failure.isEmpty())
            return result;
        if (mapping->encoding && *mapping->encoding != decoded.encoding)
            decoded = decodeText(content, mapping->encoding);
        readBankRows(splitCsv(decoded.text, mapping->separator), *mapping, result.bill);
    }
    result.bill.encoding = decoded.encoding;
    result.bill.undecodableLines = decoded.undecodableLines;
    return result;
}

} // namespace

MappingTrial tryMapping(const QByteArray &content, const BankCsvMapping &mapping)
{
    const BillReadResult read = readBill(content, mapping);
    if (!read.ok())
        return {read.failure, false};
    const Bill &bill = read.bill;
    if (bill.format != BillFormat::BankCsv)
        return {formatName(bill.format) + QStringLiteral("：不用列对应 It needs no column mapping"), false};
    QString text = QStringLiteral("读出 %1 笔交易，%2 行未能读取 %1 transactions read, %2 lines not read")
                       .arg(bill.transactions.size())
                       .arg(bill.problems.size());
    if (!bill.problems.empty())
        text += QStringLiteral("\n第 %1 行 Line %1: %2")
                    .arg(bill.problems.front().line)
                    .arg(bill.problems.front().reason);
    for (const QString &warning : readingWarnings(bill))
        text += u'\n' + warning;
    return {text, !bill.transactions.empty()};
}

QString unrecognisedBillText()
{
    return QStringLiteral(
        "无法识别的账单格式。可以导入：支付宝账单（CSV）、微信支付账单（CSV 或 XLSX），"
        "或设置了列对应的银行账单（CSV）。\n"
        "Unrecognised bill. Expected an Alipay bill (CSV), a WeChat Pay bill (CSV or XLSX), "
        "or a bank statement (CSV) with a column mapping.");
}

BillReadResult readBill(const QByteArray &content, const std::optional<BankCsvMapping> &mapping)
{
    if (content.trimmed().isEmpty())
        return BillReadResult::failed(QStringLiteral("账单文件是空的 The bill file is empty"));
    if (looksLikeZip(content))
        return readWorkbook(content);
    return readText(content, mapping);
}

BillContent readBillContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("无法打开账单文件 Cannot open the bill file: %1 (%2)")
                    .arg(QFileInfo(path).fileName(), file.errorString()),
                {}};
    const QString tooLarge = QStringLiteral("账单文件超过 %1 MB，未读取 The bill file is too large to read")
                                 .arg(kMaxBillFileBytes / (1024 * 1024));
    if (file.size() > kMaxBillFileBytes)
        return {tooLarge, {}};
    // The size read is what counts: a file may grow while it is read.
    BillContent content{{}, file.read(kMaxBillFileBytes + 1)};
    if (content.bytes.size() > kMaxBillFileBytes)
        return {tooLarge, {}};
    if (file.error() != QFileDevice::NoError)
        return {QStringLiteral("无法读取账单文件 Cannot read the bill file: %1 (%2)")
                    .arg(QFileInfo(path).fileName(), file.errorString()),
                {}};
    return content;
}

BillReadResult readBillFile(const QString &path, const std::optional<BankCsvMapping> &mapping)
{
    const BillContent content = readBillContent(path);
    if (!content.failure.isEmpty())
        return BillReadResult::failed(content.failure);
    return readBill(content.bytes, mapping);
}

} // namespace zambrel::bills
