#pragma once

#include "UpdateControls.h"

// An updater that is idle and ready: a check may start, automatic downloads are on.
class StillUpdateControls : public UpdateControls {
public:
    bool canCheckForUpdates() const override { return true; }
    bool automaticallyDownloadsUpdates() const override { return true; }
    void setAutomaticallyDownloadsUpdates(bool) override {}
    void checkForUpdates() override {}
};
