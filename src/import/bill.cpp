#include "import/bill.h"

namespace zambrel::bills {

QString formatName(BillFormat format)
{
    switch (format) {
    case BillFormat::AlipayCsv:
        return QStringLiteral("支付宝账单 Alipay bill (CSV)");
    case BillFormat::AlipayLegacyCsv:
        return QStringLiteral("支付宝账单（旧版）Alipay bill, older layout (CSV)");
    case BillFormat::WeChatCsv:
        return QStringLiteral("微信支付账单 WeChat Pay bill (CSV)");
    case BillFormat::WeChatXlsx:
        return QStringLiteral("微信支付账单 WeChat Pay bill (XLSX)");
    case BillFormat::BankCsv:
        return QStringLiteral("银行账单 Bank statement (CSV)");
    }
    return {};
}

QString encodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Gb18030 ? QStringLiteral("GB18030") : QStringLiteral("UTF-8");
}

QString monthKey(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM"));
}

} // namespace zambrel::bills
