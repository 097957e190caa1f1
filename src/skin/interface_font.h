#pragma once

namespace zambrel::skin {

/// Makes the application's font take its Chinese characters from the
/// Simplified Chinese face when the system has it. Without this the system's
/// fallback follows the desktop's language: on a desktop in another language
/// the interface's Chinese showed in the Japanese forms of the same face,
/// loaded as a second face beside the Simplified one the panels ask for.
/// Call once, after the QApplication is made.
void preferSimplifiedChineseFace();

} // namespace zambrel::skin
