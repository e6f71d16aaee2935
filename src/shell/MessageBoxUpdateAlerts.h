#pragma once

#include "UpdateAlerts.h"

#include <memory>

class QMessageBox;

// Shows the updater's messages as message boxes, each modal until dismissed.
class MessageBoxUpdateAlerts : public UpdateAlerts {
public:
    void showMessage(const QString& message, const QString& informativeText) override;
    void offerUpdate(const AppcastItem& item, const QString& runningVersion,
                     std::function<void()> download) override;

    // The boxes as they are shown, for a look without running them.
    static std::unique_ptr<QMessageBox> messageBox(const QString& message, const QString& informativeText);
    static std::unique_ptr<QMessageBox> offerBox(const AppcastItem& item, const QString& runningVersion);
};
