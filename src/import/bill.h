#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace zambrel::bills {

/// Which way the money went, as the bill says it.
enum class Direction { Expense, Income, Neutral };

/// The kinds of bill the reader tells apart by their content.
enum class BillFormat {
    AlipayCsv,       ///< Alipay, the layout with 交易时间 and 交易分类
    AlipayLegacyCsv, ///< Alipay, the older layout with 交易号 and 资金状态
    WeChatCsv,       ///< WeChat Pay, CSV export
    WeChatXlsx,      ///< WeChat Pay, XLSX export
    BankCsv,         ///< any bank's CSV, read through a column mapping
};

/// The encodings a text bill may come in.
enum class TextEncoding { Utf8, Gb18030 };

/// The order of day, month and year in a date such as 03/04/2024.
enum class DateOrder { YearMonthDay, DayMonthYear, MonthDayYear };

/// One transaction of a bill, as read from it.
struct BillTransaction {
    QDate date;
    QString counterparty;
    QString description;
    double amount = 0; ///< never negative: the direction tells which way
    Direction direction = Direction::Neutral;
    QString status;            ///< the bill's status text (交易状态, 当前状态); empty for banks
    QString category;          ///< the bill's own kind of transaction (交易分类, 类型, 交易类型)
    QString transactionNumber; ///< the bill's transaction number; empty when it has none
    QString merchantNumber;    ///< the merchant's order number, when the bill has one
    double refunded = 0;       ///< what the bill says was refunded on it (older Alipay layout)
    int line = 0;              ///< line of the file (row of the sheet) it starts on, from 1
    BillFormat format = BillFormat::BankCsv;
    /// A bank statement's row as the file has it, every cell, whichever
    /// columns the mapping reads (empty for payment apps' bills).
    QStringList rowCells;
};

/// A row that could not be read, and why (bilingual text).
struct RowProblem {
    int line = 0;
    QString reason;
};

/// Everything read from one bill file.
struct Bill {
    BillFormat format = BillFormat::BankCsv;
    TextEncoding encoding = TextEncoding::Utf8; ///< what the text was read as (UTF-8 for XLSX)
    DateOrder dateOrder = DateOrder::YearMonthDay;
    bool dateOrderAmbiguous = false; ///< another order reads every date too, differently: confirm it
    QString holderName;              ///< the account holder's name from the bill's head, if it gives one
    std::vector<BillTransaction> transactions;
    std::vector<RowProblem> problems;  ///< rows not read, in line order; the others were read
    std::vector<int> undecodableLines; ///< lines holding bytes the encoding could not read
};

/// The format's name for people: "支付宝账单 Alipay bill (CSV)" and so on.
QString formatName(BillFormat format);

/// "UTF-8" or "GB18030".
QString encodingName(TextEncoding encoding);

/// What a reader of the bill should check (bilingual, one line each): lines
/// holding bytes the encoding could not read (the first ten named), and
/// dates that read in another order too, with the order taken.
QStringList readingWarnings(const Bill &bill);

/// The month key "yyyy-mm" of a date.
QString monthKey(const QDate &date);

} // namespace zambrel::bills
