#pragma once

#include "UpdateControls.h"

// An updater that only counts what it is asked to do.
class FakeUpdateControls : public UpdateControls {
public:
    bool canCheckForUpdates() const override { return m_canCheck; }
    bool automaticallyDownloadsUpdates() const override { return m_automatic; }
    void setAutomaticallyDownloadsUpdates(bool enabled) override
    {
        ++m_automaticAssignments;
        m_automatic = enabled;
        Q_EMIT automaticallyDownloadsUpdatesChanged(enabled);
    }
    void checkForUpdates() override { ++m_checks; }

    void setCanCheck(bool canCheck)
    {
        m_canCheck = canCheck;
        Q_EMIT canCheckForUpdatesChanged(canCheck);
    }
    int checks() const { return m_checks; }
    int automaticAssignments() const { return m_automaticAssignments; }

private:
    bool m_canCheck = false;
    bool m_automatic = true;
    int m_checks = 0;
    int m_automaticAssignments = 0;
};
