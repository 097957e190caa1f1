#pragma once

#include <utility>

namespace zambrel::base {

/// Runs a clean-up when the scope ends, on every road out (return or
/// exception), unless dismissed. The clean-up must not throw.
template <typename CleanUp> class ScopeGuard {
public:
    explicit ScopeGuard(CleanUp cleanUp) : m_cleanUp(std::move(cleanUp)) {}
    ~ScopeGuard()
    {
        if (m_active)
            m_cleanUp();
    }
    ScopeGuard(const ScopeGuard &) = delete;
    ScopeGuard &operator=(const ScopeGuard &) = delete;

    void dismiss() { m_active = false; }

private:
    CleanUp m_cleanUp;
    bool m_active = true;
};

} // namespace zambrel::base
