#pragma once

#include <QObject>

// The update mechanism behind UpdaterController: it checks on its own schedule once started,
// can download updates automatically, tells whether a check may start now, and runs the
// interactive check whose outcome it shows to the user itself.
class Updater : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool enabled) = 0;
    virtual void checkForUpdates() = 0;

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);
};
