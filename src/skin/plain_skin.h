#pragma once

#include "skin/skin_file.h"

namespace zambrel::skin {

/// The plain look worn when no skin file can be read: a dark caption bar with
/// light window buttons, thin grey borders and the system's button colours
/// for the surfaces, drawn here so that it needs no file. Holds every key a
/// skin may hold.
SkinBag plainSkin();

/// The name under which readSkin() gives the program's built-in plain look;
/// no file has it.
QString plainSkinPath();

} // namespace zambrel::skin
