#include "colour_pass.h"

#include "skin/flat_button.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>

#include <initializer_list>

namespace zambrel::skin {
namespace {

bool isCategoryPanel(const QMetaObject *meta)
{
    for (; meta; meta = meta->superClass()) {
        const QByteArray name(meta->className());
        const qsizetype colons = name.lastIndexOf("::");
        if (name.mid(colons < 0 ? 0 : colons + 2) == "CategoryPanel")
            return true;
    }
    return false;
}

// Disabled text sits halfway between the text and the surface, so that it
// reads as disabled on a dark skin as on a light one.
QColor dimmedText(const QColor &text, const QColor &surface)
{
    return QColor((text.red() + surface.red()) / 2, (text.green() + surface.green()) / 2,
                  (text.blue() + surface.blue()) / 2);
}

void setTextRoles(QWidget *widget, const QColor &colour, std::initializer_list<QPalette::ColorRole> roles)
{
    QPalette palette = widget->palette();
    const QColor dimmed = dimmedText(colour, palette.color(QPalette::Window));
    bool same = true;
    for (const QPalette::ColorRole role : roles) {
        same = same && palette.color(QPalette::Active, role) == colour &&
               palette.color(QPalette::Inactive, role) == colour &&
               palette.color(QPalette::Disabled, role) == dimmed;
    }
    if (same)
        return;
    for (const QPalette::ColorRole role : roles) {
        palette.setColor(role, colour);
        palette.setColor(QPalette::Disabled, role, dimmed);
    }
    widget->setPalette(palette);
}

} // namespace

bool readsOn(const QColor &text, const QColor &surface)
{
    constexpr int kLeastBrightnessGap = 96;
    return qAbs(qGray(text.rgb()) - qGray(surface.rgb())) >= kLeastBrightnessGap;
}

QString colourPassKind(const QWidget *widget)
{
    if (qobject_cast<const FlatButton *>(widget))
        return QStringLiteral("FLATBUTTON");
    if (qobject_cast<const QCheckBox *>(widget))
        return QStringLiteral("CHECKBOX");
    if (qobject_cast<const QLabel *>(widget))
        return QStringLiteral("LABEL");
    if (qobject_cast<const QToolBar *>(widget))
        return QStringLiteral("TOOLBAR");
    if (qobject_cast<const QStatusBar *>(widget))
        return QStringLiteral("STATUSBAR");
    if (isCategoryPanel(widget->metaObject()))
        return QStringLiteral("UCLV");
    // Only plain frames and group boxes: scroll areas and editors are frames
    // to Qt but not to skins.
    if (qobject_cast<const QGroupBox *>(widget) || widget->metaObject() == &QFrame::staticMetaObject)
        return QStringLiteral("FRAME");
    return {};
}

void setBackColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    const QPalette::ColorRole role = widget->backgroundRole();
    if (palette.color(QPalette::Window) == colour && palette.color(role) == colour &&
        widget->autoFillBackground())
        return;
    // Buttons fill with their own role rather than the window colour.
    palette.setColor(QPalette::Window, colour);
    palette.setColor(role, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    setTextRoles(widget, colour, {QPalette::WindowText});
}

void runColourPass(QWidget *host, ColourValue surface, ColourValue text)
{
    const QColor back = toQColor(surface);
    const QColor fore = toQColor(text);
    const auto children = host->findChildren<QWidget *>();
    // Check boxes keep their own text colour: pin it before the host's new
    // text colour would reach them through palette inheritance. A colour
    // that would vanish into the surface (a dark skin) gives way to the
    // skin's text colour.
    for (QWidget *control : children) {
        if (control->window() == host && colourPassKind(control) == QLatin1String("CHECKBOX")) {
            const QColor own = control->palette().color(QPalette::Active, QPalette::WindowText);
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, back);
            control->setPalette(palette);
            setTextColour(control, readsOn(own, back) ? own : fore);
        }
    }
    setBackColour(host, back);
    setTextColour(host, fore);
    for (QWidget *control : children) {
        if (control->window() != host)
            continue;
        const QString kind = colourPassKind(control);
        if (kind == QLatin1String("FRAME") || kind == QLatin1String("UCLV") ||
            kind == QLatin1String("LABEL")) {
            setBackColour(control, back);
            setTextColour(control, fore);
        } else if (kind == QLatin1String("TOOLBAR")) {
            setBackColour(control, back);
            // Its buttons write their captions in the button text colour,
            // which would otherwise stay the system's, whatever the surface.
            setTextRoles(control, fore, {QPalette::WindowText, QPalette::ButtonText});
        } else if (kind == QLatin1String("CHECKBOX") || kind == QLatin1String("STATUSBAR")) {
            setBackColour(control, back);
        } else if (kind == QLatin1String("FLATBUTTON")) {
            auto *button = static_cast<FlatButton *>(control);
            button->setNormalTextColour(text);
            button->setHoverTextColour(surface);
            button->setPressedBackColour(surface);
            button->setPressedTextColour(text);
            button->setHoverBackColour(text);
            button->setNormalBackColour(surface);
            button->refresh();
        }
    }
}

} // namespace zambrel::skin
