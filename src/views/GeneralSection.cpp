#include "GeneralSection.h"

#include "LoginItem.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QSignalBlocker>

using namespace PreferenceKeys;

GeneralSection::GeneralSection(Preferences& preferences, LoginItem& loginItem, QWidget* parent)
    : SettingsSection(QStringLiteral("General"), preferences, parent)
    , m_loginItem(loginItem)
{
    m_launchAtLogin = addToggle(QStringLiteral("Launch at login"), QStringLiteral("launchAtLoginToggle"));
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &GeneralSection::applyLaunchAtLogin);
    // Where nothing can start programs at login the switch would only mislead.
    setVisible(m_loginItem.isSupported());
    startFollowingPreferences();
}

void GeneralSection::syncLaunchAtLogin()
{
    preferences().setValue(launchAtLogin, m_loginItem.isEnabled());
}

void GeneralSection::applyLaunchAtLogin(bool enabled)
{
    preferences().setValue(launchAtLogin, enabled);
    QString error;
    if (!m_loginItem.setEnabled(enabled, &error))
        syncLaunchAtLogin();
}

void GeneralSection::refresh()
{
    const QSignalBlocker block(m_launchAtLogin);
    m_launchAtLogin->setChecked(preferences().value(launchAtLogin));
}
