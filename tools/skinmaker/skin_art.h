#pragma once

#include "skin/skin_file.h"
#include "skin_description.h"

namespace zambrel::skinmaker {

/// Draws every picture of a skin from its description and puts them, with
/// the offsets and colours, into `out`.
void drawSkin(const SkinDescription &description, skin::SkinWriter &out);

} // namespace zambrel::skinmaker
