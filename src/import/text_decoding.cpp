#include "import/text_decoding.h"

#include <QStringDecoder>

namespace zambrel::bills {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);

QStringDecoder decoderFor(TextEncoding encoding)
{
    // GB18030 comes through ICU, which Qt Core on Debian is built with.
    return encoding == TextEncoding::Gb18030
               ? QStringDecoder("GB18030", QStringConverter::Flag::Stateless)
               : QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
}

std::vector<int> linesWithReplacements(const QString &text)
{
    std::vector<int> lines;
    int line = 1;
    for (const QChar c : text) {
        if (c == u'\n')
            ++line;
        else if (c == QChar::ReplacementCharacter && (lines.empty() || lines.back() != line))
            lines.push_back(line);
    }
    return lines;
}

} // namespace

TextEncoding detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return TextEncoding::Utf8;
    QStringDecoder utf8 = decoderFor(TextEncoding::Utf8);
    // decode() is lazy: the text must be made for the check to run.
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? TextEncoding::Gb18030 : TextEncoding::Utf8;
}

DecodedText decodeText(const QByteArray &bytes, std::optional<TextEncoding> encoding)
{
    DecodedText decoded;
    decoded.encoding = encoding ? *encoding : detectEncoding(bytes);
    QByteArrayView body(bytes);
    if (decoded.encoding == TextEncoding::Utf8 && bytes.startsWith(kUtf8Mark))
        body = body.sliced(kUtf8Mark.size());
    QStringDecoder decoder = decoderFor(decoded.encoding);
    decoded.text = decoder.decode(body);
    if (decoder.hasError())
        decoded.undecodableLines = linesWithReplacements(decoded.text);
    return decoded;
}

} // namespace zambrel::bills
