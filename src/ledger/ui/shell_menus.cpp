#include "shell_menus.h"

#include "store/db_routines.h"
#include "store/record_set.h"

#include <QDir>

namespace zambrel::ledger {

std::vector<MenuEntry> fixedMonthMenuEntries()
{
    return {
        {QStringLiteral("month"), QStringLiteral("核对股票")},
        {QStringLiteral("log"), QStringLiteral("日志")},
        {QStringLiteral("find"), QStringLiteral("回看")},
        {QStringLiteral("changePWD"), QStringLiteral("更换密码")},
        {QStringLiteral("sother"), QStringLiteral("选择另外一个帐本")},
        {QStringLiteral("backup"), QStringLiteral("备份当前账本")},
    };
}

QStringList newestMonths()
{
    QStringList months;
    const std::unique_ptr<store::RecordSet> rows = store::OpenReadRS(
        QStringLiteral("SELECT distinct top 24  months from asset order by months desc;"), {}, true, 100);
    if (!rows)
        return months;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        months << rows->value(0).toString();
    return months;
}

MenuEntry storedMonthEntry(const QString &month)
{
    return {QStringLiteral("M") + month, month};
}

QStringList skinMenuCaptions(const QString &folder)
{
    QStringList captions;
    const QStringList files = QDir(folder).entryList(
        {QStringLiteral("*.jss")}, QDir::Files | QDir::Readable | QDir::CaseSensitive, QDir::Name);
    for (QString file : files)
        captions << file.replace(QStringLiteral(".jss"), QString(), Qt::CaseSensitive);
    return captions;
}

QString skinPathForCaption(const QString &folder, const QString &caption)
{
    return folder + QLatin1Char('/') + caption + QStringLiteral(".jss");
}

} // namespace zambrel::ledger
