#pragma once

#include "GlobalHotKey.h"

#include <optional>
#include <utility>

// Remembers the one registered combination; `press()` stands in for the user pressing it.
class FakeGlobalHotKey : public GlobalHotKey {
    Q_OBJECT
public:
    using GlobalHotKey::GlobalHotKey;

    bool isSupported() const override { return true; }
    bool registerHotKey(int keyCode, int modifiers) override;
    void unregisterHotKey() override { m_registered.reset(); }

    // (key code, modifiers) of the current registration.
    std::optional<std::pair<int, int>> registered() const { return m_registered; }
    int registrationCount() const { return m_registrations; }
    // Presses the combination; only a registered one reaches the application.
    void press(int keyCode, int modifiers);

private:
    std::optional<std::pair<int, int>> m_registered;
    int m_registrations = 0;
};
