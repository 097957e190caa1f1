#pragma once

#include "skin/skin_file.h"

#include <QString>

#include <memory>

namespace zambrel::skin {

/// The skin at `path`, read once and kept until the file changes (size or
/// modification time). Never null: an empty path or an unreadable file gives
/// an empty bag, silently. plainSkinPath() gives the built-in plain look.
std::shared_ptr<const SkinBag> readSkin(const QString &path);

} // namespace zambrel::skin
