#pragma once

#include "LoginItem.h"

#include <QStringList>

// A login item kept in memory; it can be told to refuse changes the way a broken autostart
// folder would.
class FakeLoginItem : public LoginItem {
public:
    bool isSupported() const override { return m_supported; }
    bool isEnabled() const override { return m_enabled; }
    bool setEnabled(bool enabled, QString* error) override;

    void setFailing(bool failing) { m_failing = failing; }
    void setSupported(bool supported) { m_supported = supported; }
    void setEnabledDirectly(bool enabled) { m_enabled = enabled; }
    // "enable" / "disable" per call, refused ones too.
    const QStringList& calls() const { return m_calls; }

private:
    bool m_enabled = false;
    bool m_failing = false;
    bool m_supported = true;
    QStringList m_calls;
};
