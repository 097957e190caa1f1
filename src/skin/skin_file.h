#pragma once

#include "skin/skin_colour.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

namespace zambrel::skin {

/// The keyed values of one skin file: pictures, whole numbers and colours.
/// An absent key yields nothing: a null picture, number 0, colour 0 (black).
/// Keys compare without regard to case.
class SkinBag {
public:
    enum class Kind : quint8 { Picture = 1, Number = 2, Colour = 3 };

    /// Decodes a whole skin file (outer layer and payload). Anything that is
    /// not a well-formed skin file gives an empty bag; never reads outside
    /// `bytes`.
    static SkinBag fromFileBytes(QByteArrayView bytes);
    /// Decodes the payload alone (the keyed container).
    static SkinBag fromPayload(QByteArrayView payload);

    bool isEmpty() const { return m_values.isEmpty(); }
    bool contains(const QString &key) const { return m_values.contains(key.toUpper()); }
    QStringList keys() const;

    QImage picture(const QString &key) const;
    int number(const QString &key) const;
    ColourValue colour(const QString &key) const;

private:
    struct Value {
        Kind kind = Kind::Number;
        quint32 word = 0;
        QImage image;
    };
    QHash<QString, Value> m_values;
};

/// Builds skin files: the skin maker and tests write through this, the
/// program reads through SkinBag.
class SkinWriter {
public:
    void setPicture(const QString &key, const QImage &image);
    void setNumber(const QString &key, int value);
    void setColour(const QString &key, ColourValue value);

    QByteArray payload() const;
    QByteArray fileBytes() const;
    /// Writes the file; false when it cannot be written.
    bool save(const QString &path) const;

private:
    struct Entry {
        QString key;
        SkinBag::Kind kind;
        QByteArray bytes;
    };
    void put(const QString &key, SkinBag::Kind kind, QByteArray bytes);
    std::vector<Entry> m_entries;
};

/// Wraps a payload in the outer layer of a skin file.
QByteArray wrapPayload(const QByteArray &payload);

/// The skin at `path`, read once and kept until the file changes (size or
/// modification time). Never null: an empty path or an unreadable file gives
/// an empty bag, silently.
std::shared_ptr<const SkinBag> readSkin(const QString &path);

/// Largest skin file accepted; anything bigger reads as an empty skin.
inline constexpr qint64 kMaxSkinFileBytes = 8 * 1024 * 1024;

} // namespace zambrel::skin
