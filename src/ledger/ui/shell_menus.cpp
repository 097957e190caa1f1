#include "shell_menus.h"

#include <QDir>

namespace zambrel::ledger {

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
