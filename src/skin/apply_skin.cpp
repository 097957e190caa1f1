#include "apply_skin.h"

#include "base/app_paths.h"
#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/plain_skin.h"
#include "skin/skin_cache.h"
#include "skin/skin_file.h"
#include "skin/skinned_window.h"

#include <QDir>
#include <QFileInfo>

namespace zambrel::skin {
namespace {

bool wearable(const QString &path)
{
    return readSkin(path)->isWearable();
}

} // namespace

QString wearableSkin(const QString &wanted, const QString &shippedFolder)
{
    if (wearable(wanted))
        return wanted;
    const QDir folder(shippedFolder);
    const QStringList names = folder.entryList(
        {QStringLiteral("*.jss")}, QDir::Files | QDir::Readable | QDir::CaseSensitive, QDir::Name);
    QStringList shipped;
    for (const QString &name : names)
        shipped << QFileInfo(folder.filePath(name)).absoluteFilePath();
    qsizetype start = wanted.isEmpty() ? -1 : shipped.indexOf(QFileInfo(wanted).absoluteFilePath());
    if (start >= 0) {
        ++start;
    } else {
        const QString fallback = QFileInfo(base::defaultSkinPath()).fileName();
        start = qMax<qsizetype>(shipped.indexOf(QFileInfo(folder.filePath(fallback)).absoluteFilePath()), 0);
    }
    for (qsizetype i = 0; i < shipped.size(); ++i) {
        const QString &candidate = shipped.at((start + i) % shipped.size());
        if (wearable(candidate))
            return candidate;
    }
    return plainSkinPath();
}

QString applySkin(SkinnedWindow *window, const QString &skinPath)
{
    const QString worn = wearableSkin(skinPath, base::skinsFolder());
    if (!window)
        return worn;
    window->captionBar->setSkinPath(worn);
    window->leftBorder->setSkinPath(worn);
    window->rightBorder->setSkinPath(worn);
    window->bottomBorder->setSkinPath(worn);
    window->captionBar->redraw();
    return worn;
}

} // namespace zambrel::skin
