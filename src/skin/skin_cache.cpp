#include "skin_cache.h"

#include "skin/plain_skin.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <map>

namespace zambrel::skin {

std::shared_ptr<const SkinBag> readSkin(const QString &path)
{
    struct Cached {
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<const SkinBag> bag;
    };
    static QMutex guard;
    static std::map<QString, Cached> cache;
    static const auto empty = std::make_shared<const SkinBag>();

    if (path.isEmpty())
        return empty;
    if (path == plainSkinPath()) {
        static const auto plain = std::make_shared<const SkinBag>(plainSkin());
        return plain;
    }
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxSkinFileBytes)
        return empty;

    QMutexLocker lock(&guard);
    Cached &slot = cache[info.absoluteFilePath()];
    if (slot.bag && slot.size == info.size() && slot.modified == info.lastModified())
        return slot.bag;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinFileBytes)
        return empty;
    // A buffer of the file's size: reading up to the limit would reserve
    // the whole limit for every skin read.
    slot.bag = std::make_shared<const SkinBag>(SkinBag::fromFileBytes(file.read(file.size() + 1)));
    slot.size = info.size();
    slot.modified = info.lastModified();
    return slot.bag;
}

} // namespace zambrel::skin
