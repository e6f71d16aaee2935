#pragma once

#include "AppcastItem.h"

#include <QString>
#include <QVariantMap>

#include <functional>

// Shows the updater's messages to the user. The application uses message boxes; tests record
// what would have been shown instead of running a modal loop.
class UpdateAlerts {
public:
    virtual ~UpdateAlerts() = default;

    // An informational alert with a single "OK" button, such as "You're up to date!".
    virtual void showMessage(const QString& message, const QString& informativeText) = 0;
    // Offers `item`, newer than the running version; `download` runs if the user accepts.
    virtual void offerUpdate(const AppcastItem& item, const QString& runningVersion,
                             std::function<void()> download) = 0;

    // "You're up to date!", naming the application and version of `bundleInformation`.
    void showUpToDate(const QVariantMap& bundleInformation);
};
