#include "import/bill.h"

#include <algorithm>

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

QStringList readingWarnings(const Bill &bill)
{
    QStringList warnings;
    if (!bill.undecodableLines.empty()) {
        constexpr std::size_t kNamed = 10;
        QStringList lines;
        for (std::size_t at = 0; at < std::min(kNamed, bill.undecodableLines.size()); ++at)
            lines << QString::number(bill.undecodableLines[at]);
        const QString named = lines.join(QStringLiteral(", ")) +
                              (bill.undecodableLines.size() > kNamed ? QStringLiteral(" …") : QString());
        warnings << QStringLiteral("第 %1 行有按 %2 读不出的字节 Lines %1 hold bytes %2 cannot read")
                        .arg(named, encodingName(bill.encoding));
    }
    if (bill.dateOrderAmbiguous) {
        const QString order =
            bill.dateOrder == DateOrder::YearMonthDay   ? QStringLiteral("年月日 year, month, day")
            : bill.dateOrder == DateOrder::DayMonthYear ? QStringLiteral("日月年 day, month, year")
                                                        : QStringLiteral("月日年 month, day, year");
        warnings << QStringLiteral("日期也能按别的顺序读，现按%1读；不对时请在列对应中选定日期顺序 "
                                   "The dates read in another order too; read as %1. If that is wrong, "
                                   "choose the date order in the column mapping")
                        .arg(order);
    }
    return warnings;
}

QString monthKey(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM"));
}

} // namespace zambrel::bills
