#include "skin_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <utility>
#include <vector>

namespace zambrel::skin {
namespace {

constexpr quint16 kByteArrayType = 0x2011;
constexpr char kPayloadMagic[4] = {'Z', 'S', 'K', 'B'};
constexpr quint16 kPayloadVersion = 1;

// Reads little-endian fields while refusing to step past the end.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes) : m_bytes(bytes) {}
    bool take(qsizetype count, QByteArrayView &out)
    {
        if (count < 0 || count > m_bytes.size() - m_pos)
            return false;
        out = m_bytes.sliced(m_pos, count);
        m_pos += count;
        return true;
    }
    template <typename T> bool read(T &value)
    {
        QByteArrayView raw;
        if (!take(sizeof(T), raw))
            return false;
        value = qFromLittleEndian<T>(raw.data());
        return true;
    }
    bool atEnd() const { return m_pos == m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

template <typename T> void appendLittleEndian(QByteArray &out, T value)
{
    char raw[sizeof(T)];
    qToLittleEndian<T>(value, raw);
    out.append(raw, sizeof(T));
}

/// Skin pictures are PNG and nothing else: without guessing, the reader
/// loads no image plugin to ask whether it knows the bytes better.
void readPngOnly(QImageReader &reader)
{
    reader.setFormat("png");
    reader.setAutoDetectImageFormat(false);
}

/// A picture's size in memory once decoded, read from its header alone;
/// 0 when the header cannot be read (the picture then decodes to nothing).
qint64 decodedBytes(QByteArrayView bytes)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    readPngOnly(reader);
    const QSize size = reader.size();
    if (!size.isValid())
        return 0;
    // Drawn, a picture takes four bytes a pixel; a 16-bit one decodes to
    // eight. One whose format the header does not tell counts eight.
    const QImage::Format format = reader.imageFormat();
    const qint64 pixelBytes =
        format == QImage::Format_Invalid ? 8 : std::max(4, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    return qint64(size.width()) * qint64(size.height()) * pixelBytes;
}

QImage decodePicture(QByteArrayView bytes)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    readPngOnly(reader);
    reader.setAllocationLimit(int(kMaxSkinPictureBytes / (1024 * 1024)));
    return reader.read();
}

} // namespace

SkinBag SkinBag::fromFileBytes(QByteArrayView bytes)
{
    Cursor in(bytes);
    quint16 type = 0;
    quint16 dimensions = 0;
    quint32 count = 0;
    qint32 lowerBound = 0;
    QByteArrayView payload;
    if (!in.read(type) || !in.read(dimensions) || !in.read(count) || !in.read(lowerBound))
        return {};
    if (type != kByteArrayType || dimensions != 1 || lowerBound != 0 || count > kMaxSkinFileBytes)
        return {};
    if (!in.take(qsizetype(count), payload))
        return {};
    return fromPayload(payload);
}

SkinBag SkinBag::fromPayload(QByteArrayView payload)
{
    Cursor in(payload);
    QByteArrayView magic;
    quint16 version = 0;
    quint16 entries = 0;
    if (!in.take(4, magic) || magic != QByteArrayView(kPayloadMagic, 4) || !in.read(version) ||
        version != kPayloadVersion || !in.read(entries))
        return {};

    // The container is taken whole or not at all, so a damaged file never
    // yields a half-read skin. Pictures are decoded only once the whole
    // container has been walked and found within the budget.
    SkinBag bag;
    std::vector<std::pair<QString, QByteArrayView>> pictures;
    qint64 pictureBytes = 0;
    for (int i = 0; i < entries; ++i) {
        quint8 kind = 0;
        quint8 keyLength = 0;
        quint32 valueLength = 0;
        QByteArrayView key;
        QByteArrayView value;
        if (!in.read(kind) || !in.read(keyLength) || !in.take(keyLength, key) || !in.read(valueLength) ||
            !in.take(qsizetype(valueLength), value))
            return {};
        Value entry;
        switch (Kind(kind)) {
        case Kind::Number:
        case Kind::Colour:
            if (value.size() != 4)
                return {};
            entry.word = qFromLittleEndian<quint32>(value.data());
            break;
        case Kind::Picture:
            if (int(pictures.size()) >= kMaxSkinPictures)
                return {};
            pictureBytes += decodedBytes(value);
            if (pictureBytes > kMaxSkinPictureBytes)
                return {};
            break;
        default:
            return {};
        }
        entry.kind = Kind(kind);
        const QString name = QString::fromUtf8(key).toUpper();
        if (!name.isEmpty() && !bag.m_values.contains(name)) {
            if (entry.kind == Kind::Picture)
                pictures.emplace_back(name, value);
            bag.m_values.insert(name, std::move(entry));
        }
    }
    if (!in.atEnd())
        return {};
    for (const auto &[name, bytes] : pictures)
        bag.m_values[name].image = decodePicture(bytes);
    return bag;
}

const QStringList &essentialSkinKeys()
{
    static const QStringList keys =
        QStringLiteral("TOPLEFT TOPMID TOPRIGHT CLOSE MAX MIN FORECOLOR BACKCOLOR PARENTBACKCOLOR "
                       "LEFTTOP LEFTMID RIGHTTOP RIGHTMID LEFTBOT RIGHTBOT BOTTOM")
            .split(u' ');
    return keys;
}

QStringList SkinBag::missingKeys() const
{
    QStringList missing;
    for (const QString &key : essentialSkinKeys()) {
        const auto found = m_values.constFind(key);
        const bool present =
            found != m_values.cend() && (found->kind != Kind::Picture || !found->image.isNull());
        if (!present)
            missing << key;
    }
    return missing;
}

QStringList SkinBag::keys() const
{
    QStringList names = m_values.keys();
    names.sort();
    return names;
}

QImage SkinBag::picture(const QString &key) const
{
    const auto found = m_values.constFind(key.toUpper());
    return found != m_values.cend() && found->kind == Kind::Picture ? found->image : QImage();
}

int SkinBag::number(const QString &key) const
{
    const auto found = m_values.constFind(key.toUpper());
    return found != m_values.cend() && found->kind != Kind::Picture ? qint32(found->word) : 0;
}

ColourValue SkinBag::colour(const QString &key) const
{
    const auto found = m_values.constFind(key.toUpper());
    return found != m_values.cend() && found->kind != Kind::Picture ? found->word : 0;
}

void SkinWriter::put(const QString &key, SkinBag::Kind kind, QByteArray bytes)
{
    for (Entry &entry : m_entries) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
            entry = Entry{key, kind, std::move(bytes)};
            return;
        }
    }
    m_entries.push_back(Entry{key, kind, std::move(bytes)});
}

void SkinWriter::setPicture(const QString &key, const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    put(key, SkinBag::Kind::Picture, png);
}

void SkinWriter::setNumber(const QString &key, int value)
{
    QByteArray bytes;
    appendLittleEndian<qint32>(bytes, value);
    put(key, SkinBag::Kind::Number, bytes);
}

void SkinWriter::setColour(const QString &key, ColourValue value)
{
    QByteArray bytes;
    appendLittleEndian<quint32>(bytes, value);
    put(key, SkinBag::Kind::Colour, bytes);
}

QByteArray SkinWriter::payload() const
{
    QByteArray out(kPayloadMagic, 4);
    appendLittleEndian<quint16>(out, kPayloadVersion);
    appendLittleEndian<quint16>(out, quint16(m_entries.size()));
    for (const Entry &entry : m_entries) {
        const QByteArray key = entry.key.toUtf8().left(255);
        appendLittleEndian<quint8>(out, quint8(entry.kind));
        appendLittleEndian<quint8>(out, quint8(key.size()));
        out.append(key);
        appendLittleEndian<quint32>(out, quint32(entry.bytes.size()));
        out.append(entry.bytes);
    }
    return out;
}

QByteArray wrapPayload(const QByteArray &payload)
{
    QByteArray out;
    appendLittleEndian<quint16>(out, kByteArrayType);
    appendLittleEndian<quint16>(out, 1);
    appendLittleEndian<quint32>(out, quint32(payload.size()));
    appendLittleEndian<qint32>(out, 0);
    out.append(payload);
    return out;
}

QByteArray SkinWriter::fileBytes() const
{
    return wrapPayload(payload());
}

bool SkinWriter::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(fileBytes());
    return file.commit();
}

} // namespace zambrel::skin
