// Bills in each format, written to files as the apps export them, read back
// through the one entry point and classified.
#include "ledger_fixture.h"
#include "bill_files.h"

#include "import/bill_reader.h"
#include "import/classification.h"
#include "import/csv_split.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel::bills;
using namespace zambrel::bills::fixtures;

namespace {

struct Expected {
    const char *date;
    const char *counterparty;
    const char *description;
    double amount;
    Direction direction;
    RowKind kind;
};

void expectTransactions(const Bill &bill, const std::vector<Expected> &expected)
{
    ASSERT_EQ(bill.transactions.size(), expected.size());
    const std::vector<RowClass> classes = classifyTransactions(bill);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const BillTransaction &t = bill.transactions[i];
        EXPECT_EQ(t.date, QDate::fromString(QString::fromUtf8(expected[i].date), Qt::ISODate));
        EXPECT_EQ(t.counterparty, QString::fromUtf8(expected[i].counterparty));
        EXPECT_EQ(t.description, QString::fromUtf8(expected[i].description));
        EXPECT_DOUBLE_EQ(t.amount, expected[i].amount);
        EXPECT_EQ(t.direction, expected[i].direction);
        EXPECT_EQ(classes[i].kind, expected[i].kind) << classes[i].reason.toStdString();
        EXPECT_EQ(t.format, bill.format);
    }
}

// The newer Alipay layout, with a counterparty outside GBK (䶮, 𠀀), a quoted
// comma, padding, a refund of an earlier payment, a closed payment, a
// transfer to one's own card, a money-market move, and a malformed amount.
QStringList alipayLines()
{
    return {
        QStringLiteral(
            "------------------------------------------------------------------------------------"),
        QStringLiteral("姓名：林小雨"),
        QStringLiteral("共8笔记录"),
        QString(),
        QStringLiteral("特别提示：本回单内容可表明支付宝受理了相关交易申请，但不代表交易已成功。"),
        QStringLiteral(
            "------------------------支付宝（中国）网络技术有限公司  电子客户回单------------------------"),
        QStringLiteral(
            "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,"
            "商家订单号,备注,"),
        QStringLiteral(
            "2024-03-02 12:30:05,餐饮美食,䶮记𠀀面馆,mian***@shop.cn,\"牛肉面, 大碗\",支出,28.50,余额宝,"
            "交易成功,2024030222001100001\t,M20240302001\t,,"),
        QStringLiteral("2024-03-03 09:00:00,日用百货 ,超市发\t,chao***,日用品,支出,  56.00 ,花呗,交易关闭,"
                       "2024030322001100002\t,M20240303001\t,,"),
        QStringLiteral("2024-03-04 10:00:00,数码电器,某电商,shop***,耳机,支出,199.00,余额宝,交易成功,"
                       "2024030422001100003\t,M20240304001\t,,"),
        QStringLiteral("2024-03-05 18:20:00,退款,某电商,shop***,退款-耳机,不计收支,99.00,余额宝,退款成功,"
                       "2024030422001100003_R001\t,M20240304001-R\t,,"),
        QStringLiteral(
            "2024-03-10 08:00:00,转账红包,林小雨,6222***1234,转账到银行卡,支出,500.00,余额,交易成功,"
            "2024031022001100005\t,,,"),
        QStringLiteral(
            "2024-03-12 00:00:00,投资理财,余额宝,,余额宝-转出到余额,不计收支,100.00,余额宝,交易成功,"
            "2024031222001100006\t,,,"),
        QStringLiteral("2024-03-15 09:00:00,收入,公司,,三月工资,收入,\"3,000.00\",余额,交易成功,"
                       "2024031522001100007\t,,,"),
        QStringLiteral("2024-03-16 10:00:00,餐饮美食,咖啡店,,拿铁,支出,abc,余额宝,交易成功,"
                       "2024031622001100008\t,,,")};
}

TEST(BillReaderTest, AlipayBillInGb18030WithAccountLinesPaddingAndAMalformedRow)
{
    QTemporaryDir dir;
    const QStringList lines = alipayLines();
    const BillReadResult read = readBillFile(
        zambrel::testkit::writeFile(dir.filePath(QStringLiteral("账单.csv")), gb18030(crlfLines(lines))));
    ASSERT_TRUE(read.ok()) << read.failure.toStdString();
    const Bill &bill = read.bill;
    EXPECT_EQ(bill.format, BillFormat::AlipayCsv);
    EXPECT_EQ(bill.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(bill.holderName, QStringLiteral("林小雨"));
    EXPECT_TRUE(bill.undecodableLines.empty());
    expectTransactions(
        bill,
        {
            {"2024-03-02", "䶮记𠀀面馆", "牛肉面, 大碗", 28.5, Direction::Expense, RowKind::Ordinary},
            {"2024-03-03", "超市发", "日用品", 56, Direction::Expense, RowKind::NotCompleted},
            {"2024-03-04", "某电商", "耳机", 199, Direction::Expense, RowKind::Ordinary},
            {"2024-03-05", "某电商", "退款-耳机", 99, Direction::Neutral, RowKind::Refund},
            {"2024-03-10", "林小雨", "转账到银行卡", 500, Direction::Expense, RowKind::OwnTransfer},
            {"2024-03-12", "余额宝", "余额宝-转出到余额", 100, Direction::Neutral, RowKind::OwnTransfer},
            {"2024-03-15", "公司", "三月工资", 3000, Direction::Income, RowKind::Ordinary},
        });
    EXPECT_EQ(bill.transactions[0].transactionNumber, QStringLiteral("2024030222001100001"));
    EXPECT_EQ(bill.transactions[0].merchantNumber, QStringLiteral("M20240302001"));
    EXPECT_EQ(bill.transactions[0].status, QStringLiteral("交易成功"));
    EXPECT_EQ(bill.transactions[0].line, 8);

    // The refund undoes the payment it names, taking from spending.
    const std::vector<RowClass> classes = classifyTransactions(bill);
    EXPECT_EQ(classes[3].refundOf, 2);
    EXPECT_EQ(classes[3].effect, Effect::ReduceSpending);

    ASSERT_EQ(bill.problems.size(), 1u);
    EXPECT_EQ(bill.problems[0].line, lines.size());
    EXPECT_EQ(bill.problems[0].reason, QStringLiteral("金额无法识别 Unreadable amount: abc"));
}

TEST(BillReaderTest, OlderAlipayLayoutWithPaddedHeaderAndSummaryAfterTheRows)
{
    // Every field padded with blanks, as that layout writes them.
    const auto padded = [](const char *line) {
        return QString::fromUtf8(line).replace(u',', QStringLiteral("  ,"));
    };
    QStringList lines{
        QStringLiteral("支付宝交易记录明细查询"), QStringLiteral("账号:[lin***@example.com]"),
        QStringLiteral("起始日期:[2019-01-01 00:00:00]    终止日期:[2019-01-31 23:59:59]"),
        QStringLiteral("---------------------------------交易记录明细列表-----------------------"),
        padded("交易号,商家订单号,交易创建时间,付款时间,最近修改时间,交易来源地,类型,交易对方,商品名称,"
               "金额（元）,收/支,交易状态,服务费（元）,成功退款（元）,备注,资金状态,")};
    for (const char *row :
         {"2019011522001100001\t,M001\t,2019-01-15 10:00:00,2019-01-15 10:00:05,2019-01-15 10:00:05,"
          "支付宝网站,即时到账交易,书店,小说,35.00,支出,交易成功,0.00,0.00,,已支出,",
          "2019011622001100002\t,M002\t,2019-01-16 11:00:00,,2019-01-16 12:00:00,其他,即时到账交易,鞋店,跑鞋,"
          "300.00,支出,交易关闭,0.00,0.00,,,",
          "2019011722001100003\t,M003\t,2019-01-17 11:00:00,2019-01-17 11:00:00,2019-01-20 09:00:00,其他,"
          "即时到账交易,服装店,外套,260.00,支出,交易成功,0.00,260.00,,已支出,",
          "2019011822001100004\t,\t,2019-01-18 02:00:00,2019-01-18 02:00:00,2019-01-18 02:00:00,其他,余额宝,"
          "余额宝,余额宝-自动转入,1000.00,,交易成功,0.00,0.00,,资金转移,",
          "2019012022001100005\t,\t,2019-01-20 20:00:00,2019-01-20 20:00:00,2019-01-20 20:00:00,其他,"
          "即时到账交易,阿强,红包,88.00,,交易成功,0.00,0.00,,已收入,"})
        lines << padded(row);
    lines << QStringLiteral("-----------------------------------------------------------------------")
          << QStringLiteral("共5笔记录") << QStringLiteral("已收入:1笔,88.00元")
          << QStringLiteral("已支出:2笔,295.00元")
          << QStringLiteral("导出时间:[2019-02-01 10:00:00]    用户:lin***@example.com");
    const BillReadResult read = readBill(gb18030(crlfLines(lines)));
    ASSERT_TRUE(read.ok()) << read.failure.toStdString();
    EXPECT_EQ(read.bill.format, BillFormat::AlipayLegacyCsv);
    EXPECT_TRUE(read.bill.problems.empty());
    // The closed payment has no payment time: its creation time dates it.
    // Empty 收/支 is read from 资金状态; 成功退款 equal to the amount is a full refund.
    expectTransactions(
        read.bill,
        {
            {"2019-01-15", "书店", "小说", 35, Direction::Expense, RowKind::Ordinary},
            {"2019-01-16", "鞋店", "跑鞋", 300, Direction::Expense, RowKind::NotCompleted},
            {"2019-01-17", "服装店", "外套", 260, Direction::Expense, RowKind::NotCompleted},
            {"2019-01-18", "余额宝", "余额宝-自动转入", 1000, Direction::Neutral, RowKind::OwnTransfer},
            {"2019-01-20", "阿强", "红包", 88, Direction::Income, RowKind::Ordinary},
        });
    EXPECT_EQ(read.bill.transactions[2].refunded, 260);
}

// WeChat Pay's header and rows as its CSV holds them; its XLSX export holds the same cells.
QStringList weChatLines()
{
    return {
        QStringLiteral(
            "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注"),
        QStringLiteral("2024-03-01 08:05:00,商户消费,早餐店,\"豆浆,油条\",支出,¥12.50,零钱,支付成功,"
                       "4200001234202403010001\t,1001\t,/"),
        QStringLiteral(
            "2024-03-02 19:00:00,微信红包,阿强,/,收入,¥200.00,/,已存入零钱,1000039901202403020002\t,/,/"),
        QStringLiteral("2024-03-03 10:00:00,零钱提现,招商银行(1234),/,/,¥500.00,招商银行(1234),提现已到账,"
                       "1100000000202403030003\t,/,服务费¥0.50"),
        QStringLiteral("2024-03-04 12:00:00,商户消费,快餐店,午餐,支出,¥38.50,零钱,已全额退款,"
                       "4200001234202403040004\t,2002\t,/"),
        QStringLiteral("2024-03-04 15:00:00,商户消费-退款,快餐店,午餐,收入,¥38.50,零钱,已全额退款,"
                       "5000001234202403040005\t,2002\t,/"),
        QStringLiteral(
            "2024-03-05 09:00:00,转账,小林,/,支出,¥60.00,零钱,对方已收钱,1000050001202403050006\t,/,/")};
}

const std::vector<Expected> kWeChatExpected{
    {"2024-03-01", "早餐店", "豆浆,油条", 12.5, Direction::Expense, RowKind::Ordinary},
    {"2024-03-02", "阿强", "", 200, Direction::Income, RowKind::Ordinary},
    {"2024-03-03", "招商银行(1234)", "", 500, Direction::Neutral, RowKind::OwnTransfer},
    {"2024-03-04", "快餐店", "午餐", 38.5, Direction::Expense, RowKind::NotCompleted},
    {"2024-03-04", "快餐店", "午餐", 38.5, Direction::Income, RowKind::Refund},
    {"2024-03-05", "小林", "", 60, Direction::Expense, RowKind::OwnTransfer},
};

TEST(BillReaderTest, WeChatCsvWithByteOrderMarkAndSixteenAccountLines)
{
    QStringList lines = weChatHead();
    ASSERT_EQ(lines.size(), 16);
    lines += weChatLines();
    // Malformed rows among them: an unclosed quote, too few fields, a date that is none.
    lines.insert(
        19, QStringLiteral("2024-03-02 20:00:00,商户消费,书店,\"旧书,支出,¥5.00,零钱,支付成功,4200009,/,/"));
    lines.insert(20, QStringLiteral("2024-03-02 21:00:00,商户消费,书店"));
    lines.append(QStringLiteral("昨天,商户消费,书店,旧书,支出,¥5.00,零钱,支付成功,4200010,/,/"));

    const BillReadResult read = readBill(QByteArray("\xEF\xBB\xBF") + crlfLines(lines).toUtf8());
    ASSERT_TRUE(read.ok()) << read.failure.toStdString();
    EXPECT_EQ(read.bill.format, BillFormat::WeChatCsv);
    EXPECT_EQ(read.bill.encoding, TextEncoding::Utf8);
    EXPECT_EQ(read.bill.holderName, QStringLiteral("小林"));
    expectTransactions(read.bill, kWeChatExpected);
    EXPECT_EQ(read.bill.transactions[0].transactionNumber, QStringLiteral("4200001234202403010001"));
    EXPECT_EQ(classifyTransactions(read.bill)[4].refundOf, 3);

    ASSERT_EQ(read.bill.problems.size(), 3u);
    EXPECT_EQ(read.bill.problems[0].line, 20);
    EXPECT_EQ(read.bill.problems[0].reason, QStringLiteral("引号未闭合 Unclosed quotation mark"));
    EXPECT_EQ(read.bill.problems[1].line, 21);
    EXPECT_EQ(read.bill.problems[1].reason, QStringLiteral("字段不足 Too few fields (3 of 9)"));
    EXPECT_EQ(read.bill.problems[2].line, lines.size());
    EXPECT_EQ(read.bill.problems[2].reason, QStringLiteral("日期无法识别 Unreadable date: 昨天"));
}

TEST(BillReaderTest, WeChatXlsxReadsLikeItsCsv)
{
    std::vector<QStringList> rows;
    for (const QString &line : weChatHead())
        rows.push_back({line.section(u',', 0, 0)});
    for (const QString &line : weChatLines())
        rows.push_back(splitCsv(line, u',').front().cells);
    // A sheet keeps numbers as numbers, a date as its day number.
    rows[18][5] = QStringLiteral("200");
    rows[18][0] = QStringLiteral("45353.7916666667");

    QTemporaryDir dir;
    const BillReadResult read = readBillFile(zambrel::testkit::writeFile(
        dir.filePath(QStringLiteral("微信支付账单.xlsx")), xlsxWorkbook(rows, 20)));
    ASSERT_TRUE(read.ok()) << read.failure.toStdString();
    EXPECT_EQ(read.bill.format, BillFormat::WeChatXlsx);
    EXPECT_EQ(read.bill.holderName, QStringLiteral("小林"));
    EXPECT_TRUE(read.bill.problems.empty());
    expectTransactions(read.bill, kWeChatExpected);
    EXPECT_EQ(read.bill.transactions[0].line, 18);
}

TEST(BillReaderTest, WhatIsNoBillGetsAMessageNamingWhatWasExpected)
{
    const QString expected = unrecognisedBillText();

    EXPECT_EQ(readBill("name,amount\r\nbread,3.50\r\n").failure, expected);
    EXPECT_EQ(readBill(gb18030(QStringLiteral("交易时间,交易对方,金额\r\n2024-03-01,超市,5\r\n"))).failure,
              expected);
    EXPECT_EQ(readBill(xlsxWorkbook({{QStringLiteral("日期"), QStringLiteral("金额")},
                                     {QStringLiteral("2024-03-01"), QStringLiteral("5")}}))
                  .failure,
              expected);
    // Alipay's layout counts in its CSV only.
    const QStringList alipay = alipayLines();
    std::vector<QStringList> sheet;
    for (const QString &line : alipay)
        sheet.push_back(line.split(u','));
    EXPECT_EQ(readBill(xlsxWorkbook(sheet)).failure, expected);

    EXPECT_EQ(readBill(" \r\n").failure, QStringLiteral("账单文件是空的 The bill file is empty"));
    QTemporaryDir dir;
    const BillReadResult missing = readBillFile(dir.filePath(QStringLiteral("gone.csv")));
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.failure.contains(QStringLiteral("gone.csv")));
}

TEST(BillReaderTest, BytesNoEncodingReadsAreListedByLine)
{
    // GB18030 with a byte no GB18030 sequence starts with, in the notice above the table.
    QByteArray bytes = gb18030(crlfLines(alipayLines()));
    bytes[bytes.indexOf(gb18030(QStringLiteral("特别提示")))] = char(0xFF);
    const BillReadResult read = readBill(bytes);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.bill.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(read.bill.undecodableLines, std::vector<int>{5});
    EXPECT_EQ(read.bill.transactions.size(), 7u);
}

} // namespace
