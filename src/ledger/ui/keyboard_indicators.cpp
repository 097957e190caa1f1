#include "keyboard_indicators.h"

#ifdef ZAMBREL_HAVE_X11
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#endif

namespace zambrel::ledger {

#ifdef ZAMBREL_HAVE_X11
namespace {

std::optional<bool> namedIndicator(Display *display, const char *name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on == True;
}

} // namespace

LockKeyStates readLockKeys()
{
    LockKeyStates states;
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return states;
    states.capsLock = namedIndicator(display, "Caps Lock");
    states.numLock = namedIndicator(display, "Num Lock");
    return states;
}
#else
LockKeyStates readLockKeys()
{
    return {};
}
#endif

} // namespace zambrel::ledger
