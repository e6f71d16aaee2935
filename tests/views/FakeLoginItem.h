#pragma once

#include "LoginItem.h"

// A login service in memory that can be told to refuse changes, as a real one does when the
// autostart folder cannot be written.
class FakeLoginItem : public LoginItem {
public:
    bool isSupported() const override { return m_supported; }
    bool isEnabled() const override { return m_enabled; }
    bool setEnabled(bool enabled, QString* error) override
    {
        ++m_changeRequests;
        if (m_refusing) {
            if (error)
                *error = QStringLiteral("refused");
            return false;
        }
        m_enabled = enabled;
        return true;
    }

    void setServiceEnabled(bool enabled) { m_enabled = enabled; }
    void setRefusing(bool refusing) { m_refusing = refusing; }
    void setSupported(bool supported) { m_supported = supported; }
    int changeRequests() const { return m_changeRequests; }

private:
    bool m_enabled = false;
    bool m_refusing = false;
    bool m_supported = true;
    int m_changeRequests = 0;
};
