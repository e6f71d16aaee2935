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
    bool worksSystemWide() const override { return !m_refusing; }
    bool registerHotKey(int keyCode, int modifiers) override;
    void unregisterHotKey() override { m_registered.reset(); }

    // (key code, modifiers) of the current registration.
    std::optional<std::pair<int, int>> registered() const { return m_registered; }
    int registrationCount() const { return m_registrations; }
    // Presses the combination; only a registered one reaches the application.
    void press(int keyCode, int modifiers);
    // Refuses every registration from now on, as a desktop does whose key is taken.
    void setRefusing(bool refusing) { m_refusing = refusing; }

private:
    std::optional<std::pair<int, int>> m_registered;
    int m_registrations = 0;
    bool m_refusing = false;
};
