#include "db_error.h"

#include <iterator>

namespace zambrel::store {
namespace {

struct KindText {
    ErrorKind kind;
    const char *text;
};

// The one table of texts. A detail follows after ": ", unless the text
// places it itself (%1 in the Chinese part, %2 in the English part).
constexpr KindText kTexts[] = {
    {ErrorKind::WrongPassword, "密码不符 The password does not match"},
    {ErrorKind::InUse, "账本正在使用中 The ledger is in use"},
    {ErrorKind::NotALedger, "不是账本文件 Not a ledger file"},
    {ErrorKind::Damaged, "账本已损坏：%1 Ledger damaged: %2"},
    {ErrorKind::ReadOnly, "账本是只读的 The ledger is read-only"},
    {ErrorKind::DiskFull, "磁盘已满 Disk full"},
    {ErrorKind::InputOutput, "无法读写文件 Cannot read or write the file"},
    {ErrorKind::Constraint, "数据违反了约束 The data breaks a constraint"},
    {ErrorKind::Missing, "找不到账本文件 Ledger file not found"},
    {ErrorKind::Failed, "账本读写出错 Ledger access failed"},
    {ErrorKind::Other, "出错了 Something went wrong"},
};
static_assert(std::size(kTexts) == std::size_t(ErrorKind::Other) + 1, "every kind has its text");

QString rowText(ErrorKind kind)
{
    return QString::fromUtf8(kTexts[std::size_t(kind)].text);
}

QString describe(ErrorKind kind, const QString &chineseDetail, const QString &englishDetail)
{
    if (kind == ErrorKind::Other && !englishDetail.isEmpty())
        return englishDetail;
    const QString text = rowText(kind);
    if (text.contains(QLatin1String("%1")))
        return text.arg(chineseDetail, englishDetail);
    return englishDetail.isEmpty() ? text : text + QStringLiteral(": ") + englishDetail;
}

} // namespace

DbError::DbError(ErrorKind kind, const QString &detail) : DbError(kind, detail, detail) {}

DbError::DbError(ErrorKind kind, const QString &chineseDetail, const QString &englishDetail)
    : std::runtime_error(describe(kind, chineseDetail, englishDetail).toStdString()), m_kind(kind),
      m_description(QString::fromStdString(what()))
{
}

DbError DbError::missingParts(const QStringList &parts)
{
    return DbError(ErrorKind::Damaged, QStringLiteral("缺少 ") + parts.join(QStringLiteral("、")),
                   QStringLiteral("missing ") + parts.join(QStringLiteral(", ")));
}

QString DbError::kindText(ErrorKind kind)
{
    const QString text = rowText(kind);
    // The text up to where a detail goes: "账本已损坏 Ledger damaged".
    if (const qsizetype slot = text.indexOf(QLatin1String("：%1")); slot >= 0)
        return text.left(slot) + u' ' + text.mid(slot + 3).section(QLatin1Char(':'), 0, 0).trimmed();
    return text;
}

} // namespace zambrel::store
