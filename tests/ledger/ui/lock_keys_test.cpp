// The lock keys' lights on a real X server (run under Xvfb): the status
// panels show what the keyboard's indicators say.
#include "ledger/ui/keyboard_indicators.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>

// Last: the X11 headers define short macros (None, Bool, ...).
#include <X11/XKBlib.h>

using namespace zambrel;

namespace {

Display *display()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

void lockModifier(unsigned int mask, bool on)
{
    XkbLockModifiers(display(), XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(display(), False);
}

} // namespace

TEST(LockKeys, IndicatorsFollowTheKeyboard)
{
    if (!display())
        GTEST_SKIP() << "no X11 display (the test runs under xvfb-run)";
    // Num Lock is the modifier the server maps to its indicator (Mod2 here).
    for (const bool on : {true, false}) {
        lockModifier(LockMask, on);
        lockModifier(Mod2Mask, !on);
        const ledger::LockKeyStates states = ledger::readLockKeys();
        ASSERT_TRUE(states.capsLock.has_value());
        EXPECT_EQ(*states.capsLock, on);
        ASSERT_TRUE(states.numLock.has_value());
        EXPECT_EQ(*states.numLock, !on);
    }
    lockModifier(Mod2Mask, false);
}
