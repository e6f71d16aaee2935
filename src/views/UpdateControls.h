#pragma once

#include <QObject>

// The update controls of the settings window's About page: whether a check may start now,
// the automatic-download switch and the manual check. The application's updater implements it.
class UpdateControls : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    // Every assignment is applied and persisted, also one that does not change the value.
    virtual void setAutomaticallyDownloadsUpdates(bool enabled) = 0;
    // Returns at once; the outcome is shown by the updater (its own dialog or an alert).
    virtual void checkForUpdates() = 0;

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);
    void automaticallyDownloadsUpdatesChanged(bool enabled);
};
