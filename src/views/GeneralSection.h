#pragma once

#include "SettingsSection.h"

class LoginItem;
class QComboBox;

// "General": starting at login, and where the status item shows the time. The switch follows
// the login service: when a change fails the error is not shown, the switch simply returns to
// what the service now reports.
class GeneralSection : public SettingsSection {
    Q_OBJECT
public:
    GeneralSection(Preferences& preferences, LoginItem& loginItem, QWidget* parent = nullptr);

    // Makes the preference say what the login service reports, as the window appears.
    void syncLaunchAtLogin();

protected:
    void refresh() override;

private:
    void applyLaunchAtLogin(bool enabled);
    void buildTimePlacement();

    LoginItem& m_loginItem;
    QCheckBox* m_launchAtLogin = nullptr;
    QComboBox* m_timePlacement = nullptr;
};
