// Bank statements through a column mapping: separators, decimal commas,
// date orders decided once per file, encodings, and the mapping kept as JSON.
#include "bill_files.h"

#include "import/bank_csv.h"
#include "import/bill_preview.h"
#include "import/bill_reader.h"
#include "import/classification.h"
#include "import/transaction_identity.h"

#include <gtest/gtest.h>

using namespace zambrel::bills;
using namespace zambrel::bills::fixtures;

namespace {

BankCsvMapping europeanMapping()
{
    BankCsvMapping mapping;
    mapping.separator = u';';
    mapping.decimalComma = true;
    mapping.skipLines = 2;
    mapping.skipTrailingLines = 1;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.counterpartyColumn = 2;
    mapping.amountColumn = 3;
    return mapping;
}

QString europeanStatement()
{
    return crlfLines({
        QStringLiteral("某银行 账户明细"),
        QStringLiteral("账号：6222 **** 1234;;;;"),
        QStringLiteral("日期;摘要;对方户名;金额;余额"),
        QStringLiteral("03.04.2024;超市购物;永辉超市;-1.234,56;8.765,44"),
        QStringLiteral("15.04.2024;工资;某公司; 12.000,00 ;20.765,44"),
        QStringLiteral("01.05.2024;转账;林小雨;-500,00;20.265,44"),
        QStringLiteral("02.05.2024;\"手续费; 年费\";;-10,00;20.255,44"),
        QStringLiteral("31.04.2024;冲正;;-1,00;20.254,44"),
        QStringLiteral("合计;;;;"),
    });
}

TEST(BankCsvTest, DecimalCommasAndDayFirstDatesDecidedForTheWholeFile)
{
    const BillReadResult read = readBill(gb18030(europeanStatement()), europeanMapping());
    ASSERT_TRUE(read.ok()) << read.failure.toStdString();
    const Bill &bill = read.bill;
    EXPECT_EQ(bill.format, BillFormat::BankCsv);
    EXPECT_EQ(bill.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(bill.dateOrder, DateOrder::DayMonthYear);
    EXPECT_FALSE(bill.dateOrderAmbiguous);

    QStringList rows; // date, description, amount with its direction's sign
    for (const BillTransaction &t : bill.transactions)
        rows << QStringLiteral("%1 %2 %3%4")
                    .arg(t.date.toString(Qt::ISODate), t.description,
                         t.direction == Direction::Expense ? QStringLiteral("-") : QString())
                    .arg(t.amount);
    EXPECT_EQ(
        rows,
        (QStringList{QStringLiteral("2024-04-03 超市购物 -1234.56"), QStringLiteral("2024-04-15 工资 12000"),
                     QStringLiteral("2024-05-01 转账 -500"), QStringLiteral("2024-05-02 手续费; 年费 -10")}));
    ASSERT_EQ(bill.problems.size(), 1u);
    EXPECT_EQ(bill.problems[0].line, 8);
    EXPECT_EQ(bill.problems[0].reason, QStringLiteral("日期无法识别 Unreadable date: 31.04.2024"));

    // A transfer to the holder's own name is one between own accounts.
    const std::vector<RowClass> classes = classifyTransactions(bill, {QStringLiteral("林小雨")});
    EXPECT_EQ(classes[2].kind, RowKind::OwnTransfer);
    EXPECT_EQ(classes[0].kind, RowKind::Ordinary);
}

// A statement row is remembered by its date, amount and whole row: the same
// statement read through a mapping set up again later is recognised, the
// same payment in another account's statement (another balance beside it)
// is not, and what an earlier version imported is still recognised.
TEST(BankCsvTest, ARowIsKnownByItsWholeRowWhateverColumnsTheMappingReads)
{
    const QByteArray statement = gb18030(europeanStatement());
    BankCsvMapping plain = europeanMapping();
    plain.counterpartyColumn = -1;
    const Bill first = readBill(statement, plain).bill;
    const Bill again = readBill(statement, europeanMapping()).bill;
    ASSERT_EQ(first.transactions.size(), 4u);
    EXPECT_NE(first.transactions[0].counterparty, again.transactions[0].counterparty);
    EXPECT_EQ(transactionIdentities(again.transactions), transactionIdentities(first.transactions));
    EXPECT_TRUE(transactionIdentities(first.transactions)[0].startsWith(QStringLiteral("row:")));

    QString otherAccount = europeanStatement();
    otherAccount.replace(QStringLiteral("8.765,44"), QStringLiteral("1.000,00"));
    const Bill other = readBill(gb18030(otherAccount), europeanMapping()).bill;
    EXPECT_NE(transactionIdentities(other.transactions)[0], transactionIdentities(again.transactions)[0]);
    EXPECT_EQ(transactionIdentities(other.transactions)[1], transactionIdentities(again.transactions)[1]);

    const QStringList earlier = earlierIdentities(again.transactions);
    const BillPreview preview(again, {}, {earlier[0], earlier[3]});
    EXPECT_EQ(preview.rows()[0].state(), RowState::Duplicate);
    EXPECT_EQ(preview.rows()[1].state(), RowState::New);
    EXPECT_EQ(preview.rows()[3].state(), RowState::Duplicate);
}

// A blank line between the transactions and the totals is a line below as
// the file shows it; the blank lines after the last written one are not.
TEST(BankCsvTest, LinesBelowCountTheFilesLinesUpFromTheLastWrittenOne)
{
    QString statement = europeanStatement();
    statement.insert(statement.lastIndexOf(QStringLiteral("合计")), QStringLiteral("\r\n"));
    statement += QStringLiteral("\r\n\r\n");
    BankCsvMapping mapping = europeanMapping();
    for (const int below : {1, 2}) {
        mapping.skipTrailingLines = below;
        const BillReadResult read = readBill(gb18030(statement), mapping);
        ASSERT_TRUE(read.ok()) << read.failure.toStdString();
        EXPECT_EQ(read.bill.transactions.size(), 4u) << below;
        EXPECT_EQ(read.bill.problems.size(), 1u) << below << " (the impossible date only)";
    }
    mapping.skipTrailingLines = 3;
    EXPECT_TRUE(readBill(gb18030(statement), mapping).bill.problems.empty())
        << "the line of the impossible date";
}

TEST(BankCsvTest, DebitAndCreditColumnsAndADateOrderLeftToConfirm)
{
    BankCsvMapping mapping;
    mapping.dateColumn = 0;
    mapping.descriptionColumn = 1;
    mapping.debitColumn = 2;
    mapping.creditColumn = 3;
    const QByteArray statement = crlfLines({
                                               QStringLiteral("Date,Description,Debit,Credit"),
                                               QStringLiteral("03/04/2024,Coffee,4.50,"),
                                               QStringLiteral("03/05/2024,Salary,,\"2,000.00\""),
                                               QStringLiteral("03/06/2024,Both,1.00,2.00"),
                                               QStringLiteral("03/07/2024,Nothing,,"),
                                               QStringLiteral("03/08/2024,Card fee,-2.00,"),
                                               QStringLiteral("03/09/2024,Refund reversed,,-6.00"),
                                           })
                                     .toUtf8();
    // Every day is 12 or less: day-first is taken and left to confirm.
    const BillReadResult guessed = readBill(statement, mapping);
    ASSERT_TRUE(guessed.ok());
    EXPECT_EQ(guessed.bill.dateOrder, DateOrder::DayMonthYear);
    EXPECT_TRUE(guessed.bill.dateOrderAmbiguous);
    EXPECT_EQ(guessed.bill.transactions[0].date, QDate(2024, 4, 3));
    EXPECT_EQ(readingWarnings(guessed.bill),
              QStringList(
                  QStringLiteral("日期也能按别的顺序读，现按日月年 day, month, year读；不对时请在列对应中选定"
                                 "日期顺序 The dates read in another order too; read as 日月年 day, "
                                 "month, year. If that is wrong, choose the date order in the column "
                                 "mapping")));

    mapping.dateOrder = DateOrder::MonthDayYear;
    const BillReadResult confirmed = readBill(statement, mapping);
    EXPECT_FALSE(confirmed.bill.dateOrderAmbiguous);
    ASSERT_EQ(confirmed.bill.transactions.size(), 4u);
    EXPECT_EQ(confirmed.bill.transactions[0].date, QDate(2024, 3, 4));
    EXPECT_EQ(confirmed.bill.transactions[0].direction, Direction::Expense);
    EXPECT_DOUBLE_EQ(confirmed.bill.transactions[0].amount, 4.5);
    EXPECT_EQ(confirmed.bill.transactions[1].direction, Direction::Income);
    EXPECT_DOUBLE_EQ(confirmed.bill.transactions[1].amount, 2000);
    // A debit written signed is still money out; a negative credit takes
    // money back out.
    EXPECT_EQ(confirmed.bill.transactions[2].direction, Direction::Expense);
    EXPECT_DOUBLE_EQ(confirmed.bill.transactions[2].amount, 2);
    EXPECT_EQ(confirmed.bill.transactions[3].direction, Direction::Expense);
    EXPECT_DOUBLE_EQ(confirmed.bill.transactions[3].amount, 6);
    ASSERT_EQ(confirmed.bill.problems.size(), 2u);
    EXPECT_EQ(confirmed.bill.problems[0].line, 4);
    EXPECT_EQ(confirmed.bill.problems[0].reason,
              QStringLiteral("支出和收入两栏都有金额 Both debit and credit hold an amount"));
    EXPECT_EQ(confirmed.bill.problems[1].reason, QStringLiteral("没有金额 No amount"));
}

TEST(BankCsvTest, EncodingIsDetectedAndCanBeSetByHand)
{
    const QString text = europeanStatement();
    BankCsvMapping mapping = europeanMapping();
    const BillReadResult utf8 = readBill(text.toUtf8(), mapping);
    EXPECT_EQ(utf8.bill.encoding, TextEncoding::Utf8);
    EXPECT_EQ(utf8.bill.transactions[0].description, QStringLiteral("超市购物"));
    // Told UTF-8, GB18030 bytes are not read, and the lines say so.
    mapping.encoding = TextEncoding::Utf8;
    const BillReadResult wrong = readBill(gb18030(text), mapping);
    EXPECT_FALSE(wrong.bill.undecodableLines.empty());
    EXPECT_EQ(readingWarnings(wrong.bill),
              QStringList(QStringLiteral(
                  "第 1, 2, 3, 4, 5, 6, 7, 8, 9 行有按 UTF-8 读不出的字节 Lines 1, 2, 3, 4, 5, 6, "
                  "7, 8, 9 hold bytes UTF-8 cannot read")));
    mapping.encoding = TextEncoding::Gb18030;
    EXPECT_EQ(readBill(gb18030(text), mapping).bill.transactions[0].counterparty, QStringLiteral("永辉超市"));

    // A payment app's bill is recognised whatever mapping comes with it.
    EXPECT_EQ(readBill(weChatCsv({}), mapping).bill.format, BillFormat::WeChatCsv);
}

TEST(BankCsvTest, MappingIsKeptAsJson)
{
    BankCsvMapping mapping = europeanMapping();
    mapping.encoding = TextEncoding::Gb18030;
    mapping.dateOrder = DateOrder::MonthDayYear;
    mapping.separator = u'\t';
    mapping.hasHeader = false;
    mapping.referenceColumn = 5;
    EXPECT_EQ(mappingFromJson(mappingToJson(mapping)), mapping);

    QString error;
    EXPECT_FALSE(mappingFromJson(QStringLiteral("{}"), &error));
    EXPECT_EQ(error, QStringLiteral("请指定日期列 Choose the date column"));
    for (const char *bad : {"[1]", "not json", R"({"dateColumn":"0","descriptionColumn":1,"amountColumn":2})",
                            R"({"dateColumn":0,"descriptionColumn":1,"amountColumn":2.5})",
                            R"({"dateColumn":0,"descriptionColumn":1,"amountColumn":2,"encoding":"latin1"})",
                            R"({"dateColumn":0,"descriptionColumn":1,"amountColumn":2,"separator":";;"})"}) {
        EXPECT_FALSE(mappingFromJson(QString::fromUtf8(bad), &error)) << bad;
        EXPECT_EQ(error, QStringLiteral("不是列对应设置 Not a column mapping")) << bad;
    }

    BankCsvMapping quoteSeparated = europeanMapping();
    quoteSeparated.separator = u'"';
    EXPECT_EQ(readBill("a\"b\r\n", quoteSeparated).failure, mappingProblem(quoteSeparated));
}

TEST(BankCsvTest, SampleFindsTheSeparatorForSettingUpAMapping)
{
    const CsvSample sample = sampleCsv(gb18030(europeanStatement()), std::nullopt, std::nullopt, 4);
    EXPECT_EQ(sample.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(sample.separator, u';');
    ASSERT_EQ(sample.rows.size(), 4u);
    EXPECT_EQ(sample.rows[2].cells, QStringLiteral("日期;摘要;对方户名;金额;余额").split(u';'));

    const CsvSample tabs = sampleCsv("date\tamount\n2024-01-02\t1,5\n2024-01-03\t2,5\n");
    EXPECT_EQ(tabs.separator, u'\t');
    EXPECT_EQ(tabs.rows.size(), 3u);
}

TEST(BankCsvTest, AFirstMappingIsGuessedFromTheColumnNames)
{
    // Lines of account details above the header, a balance beside the amount.
    BankCsvMapping european = europeanMapping();
    european.encoding = TextEncoding::Gb18030;
    european.skipTrailingLines = 0; // a sample does not see the file's end
    EXPECT_EQ(guessMapping(sampleCsv(gb18030(europeanStatement()))), european);

    // Debit and credit rather than an amount; a counterparty's name, not its
    // account; the date column, not the time; amounts with a decimal point.
    const CsvSample split =
        sampleCsv(QStringLiteral("交易日期,交易时间,支出金额,收入金额,账户余额,"
                                 "对方账号,对方户名,摘要,交易流水号\n"
                                 "2024-03-01,10:00:00,\"1,280.50\",,100.00,6222,某超市,消费,"
                                 "R1\n")
                      .toUtf8());
    const BankCsvMapping guessed = guessMapping(split);
    EXPECT_EQ(guessed.skipLines, 0);
    EXPECT_EQ(guessed.dateColumn, 0);
    EXPECT_EQ(guessed.debitColumn, 2);
    EXPECT_EQ(guessed.creditColumn, 3);
    EXPECT_EQ(guessed.amountColumn, -1);
    EXPECT_EQ(guessed.counterpartyColumn, 6);
    EXPECT_EQ(guessed.descriptionColumn, 7);
    EXPECT_EQ(guessed.referenceColumn, 8);
    EXPECT_FALSE(guessed.decimalComma);
    EXPECT_TRUE(mappingProblem(guessed).isEmpty());

    // English names, whatever their letter case.
    const BankCsvMapping english = guessMapping(
        sampleCsv("Booking Date;Payee;Memo;Amount;Balance\n02.01.2024;Shop;Food;-12,50;100,00\n"));
    EXPECT_EQ(std::vector<int>({english.dateColumn, english.counterpartyColumn, english.descriptionColumn,
                                english.amountColumn}),
              std::vector<int>({0, 1, 2, 3}));
    EXPECT_TRUE(english.decimalComma);

    // An account number is no counterparty.
    const BankCsvMapping accounts =
        guessMapping(sampleCsv("Date,Payee account,Payee,Amount\n2024-01-02,DE12,Shop,-12.50\n"));
    EXPECT_EQ(accounts.counterpartyColumn, 2);
    EXPECT_EQ(guessMapping(sampleCsv(QStringLiteral("记账日期,摘要,交易金额,账户余额,对方账号,对方开户行\n"
                                                    "2024-01-02,消费,-12.50,100.00,6222,某银行\n")
                                         .toUtf8()))
                  .counterpartyColumn,
              -1);

    // No line names the columns: nothing is placed, and the mapping says what is missing.
    const BankCsvMapping bare = guessMapping(sampleCsv("2024-01-02,Shop,12.50\n2024-01-03,Bus,2.00\n"));
    EXPECT_EQ(bare.dateColumn, -1);
    EXPECT_EQ(bare.skipLines, 0);
    EXPECT_EQ(mappingProblem(bare), QStringLiteral("请指定日期列 Choose the date column"));
}

TEST(BankCsvTest, ATrialOfAMappingTellsWhatItReadsOfTheWholeFile)
{
    const MappingTrial trial = tryMapping(gb18030(europeanStatement()), europeanMapping());
    EXPECT_TRUE(trial.readsAny);
    EXPECT_EQ(trial.text, QStringLiteral("读出 4 笔交易，1 行未能读取 4 transactions read, 1 lines not read\n"
                                         "第 8 行 Line 8: 日期无法识别 Unreadable date: 31.04.2024"));
    BankCsvMapping wrongSeparator = europeanMapping();
    wrongSeparator.separator = u',';
    EXPECT_FALSE(tryMapping(gb18030(europeanStatement()), wrongSeparator).readsAny);
    const MappingTrial bill = tryMapping(weChatCsv({}), europeanMapping());
    EXPECT_FALSE(bill.readsAny) << "a payment app's bill needs no mapping";
    EXPECT_TRUE(bill.text.endsWith(QStringLiteral("It needs no column mapping")));
}

TEST(BankCsvTest, ColumnsAreTitledByTheHeaderOrByNumber)
{
    const CsvSample sample = sampleCsv(gb18030(europeanStatement()));
    BankCsvMapping mapping = europeanMapping();
    EXPECT_EQ(columnTitles(sample, mapping), QStringLiteral("日期;摘要;对方户名;金额;余额").split(u';'));
    mapping.hasHeader = false;
    EXPECT_EQ(columnTitles(sample, mapping).at(4), QStringLiteral("第 5 列 Column 5"));
    // The account line above the header has fewer fields, and is skipped.
    mapping.skipLines = 0;
    mapping.hasHeader = true;
    EXPECT_EQ(columnTitles(sample, mapping),
              (QStringList{QStringLiteral("某银行 账户明细"), QStringLiteral("第 2 列 Column 2"),
                           QStringLiteral("第 3 列 Column 3"), QStringLiteral("第 4 列 Column 4"),
                           QStringLiteral("第 5 列 Column 5")}));
}

} // namespace
