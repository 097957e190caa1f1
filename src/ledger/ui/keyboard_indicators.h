#pragma once

#include <optional>

namespace zambrel::ledger {

/// The lock keys' states as the platform reports them; a state the platform
/// does not tell (no X11 display) is left empty.
struct LockKeyStates {
    std::optional<bool> capsLock;
    std::optional<bool> numLock;
};

/// Reads the keyboard's indicator lights now (on X11 through the XKB
/// indicator state). Cheap enough to call on every key press.
LockKeyStates readLockKeys();

} // namespace zambrel::ledger
