#pragma once

#include <QStringList>

#include <thread>

namespace zambrel::skin {

/// Reads the system's font configuration on a thread of its own. Started
/// before the QApplication is made, the reading (several milliseconds of
/// configuration files and font caches) overlaps the application's
/// connection to the display instead of delaying the first text laid out.
/// Keep the thread until the program ends: it is joined when it goes. An
/// empty thread when none can be had; the configuration is then read when
/// first needed, as without it.
[[nodiscard]] std::jthread readFontConfigurationAhead();

/// Makes the application's font take its Chinese characters from the
/// Simplified Chinese face when the system has it. Without this the system's
/// fallback follows the desktop's language: on a desktop in another language
/// the interface's Chinese showed in the Japanese forms of the same face,
/// loaded as a second face beside the Simplified one the panels ask for.
/// Call once, after the QApplication is made.
void preferSimplifiedChineseFace();

/// The families of `wanted` that the system has, in their order; all of
/// `wanted` when it has none of them. A font asked for by a family the
/// system lacks costs a search of the system's fonts and a sorted list of
/// substitutes for every size and weight it is used at, only for the next
/// family to draw it; asked for by the families that exist, it draws with
/// the same face.
QStringList installedFamilies(const QStringList &wanted);

} // namespace zambrel::skin
