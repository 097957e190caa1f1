#pragma once

#include <QColor>
#include <QHash>
#include <QString>

#include <optional>

namespace zambrel::skinmaker {

/// A skin in a few lines: colours, offsets and style. Read from a text file
/// of "key = value" lines; "#" at the start of a line begins a comment.
struct SkinDescription {
    QColor captionTop;
    QColor captionMiddle;
    QColor captionBottom;
    QColor edge;       // outer frame line
    QColor glyph;      // button glyphs
    QColor closeHover; // close button under the pointer
    QColor buttonFace; // window buttons at rest
    QColor surface;    // FORECOLOR: window surface and title face
    QColor text;       // BackColor: text colour and title shadow
    QColor parentBack; // PARENTBACKCOLOR
    bool glassy = false;
    int captionHeight = 28;
    int borderWidth = 5;
    int buttonWidth = 26;
    int buttonHeight = 19;
    int xOffset = 6;
    int xOffset2 = 7;
    int yOffset = 5;
    int fromRight = 6;
    int fromTop = 4;
    int iconSpace = 2;
};

/// Parses a description; nullopt with `error` set on an unknown key or a
/// bad value. Every colour must be given.
std::optional<SkinDescription> parseDescription(const QString &text, QString *error);

} // namespace zambrel::skinmaker
