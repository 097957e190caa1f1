#pragma once

#include "import/bill.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace zambrel::bills {

/// UTF-8 when the bytes carry its byte order mark or read as UTF-8 without
/// a fault (plain ASCII included), otherwise GB18030.
TextEncoding detectEncoding(const QByteArray &bytes);

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    std::vector<int> undecodableLines; ///< lines (from 1) where bytes could not be read
};

/// Decodes `bytes` in `encoding`, or in the detected one when none is given.
/// A UTF-8 byte order mark is dropped; bytes the encoding cannot read become
/// U+FFFD and their lines are listed.
DecodedText decodeText(const QByteArray &bytes, std::optional<TextEncoding> encoding = std::nullopt);

} // namespace zambrel::bills
