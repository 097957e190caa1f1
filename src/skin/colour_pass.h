#pragma once

#include "skin/skin_colour.h"

#include <QString>

class QWidget;

namespace zambrel::skin {

/// The kind of control the colour pass sees in `widget`: "FRAME", "UCLV",
/// "LABEL", "CHECKBOX", "FLATBUTTON", "TOOLBAR", "STATUSBAR", or empty for
/// controls the pass leaves alone. A class of the program named `CategoryPanel`
/// (in any namespace) counts as "UCLV".
QString colourPassKind(const QWidget *widget);

/// Gives `host` and every control on it (not those of other windows) the
/// skin's surface colour `surface` as back colour and `text` as text colour,
/// each kind as the skin rules say.
void runColourPass(QWidget *host, ColourValue surface, ColourValue text);

/// Whether text in `text` can be read on `surface` (their brightness lies far
/// enough apart). A control that keeps its own text colour through the pass
/// gives way to the skin's text colour where this fails.
bool readsOn(const QColor &text, const QColor &surface);

/// Back and text colour of one widget, filled so that it shows on any host.
void setBackColour(QWidget *widget, const QColor &colour);
void setTextColour(QWidget *widget, const QColor &colour);

} // namespace zambrel::skin
