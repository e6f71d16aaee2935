#include "GeneralSection.h"

#include "LoginItem.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

using namespace PreferenceKeys;

GeneralSection::GeneralSection(Preferences& preferences, LoginItem& loginItem, QWidget* parent)
    : SettingsSection(QStringLiteral("General"), preferences, parent)
    , m_loginItem(loginItem)
{
    m_launchAtLogin = addToggle(QStringLiteral("Launch at login"), QStringLiteral("launchAtLoginToggle"));
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &GeneralSection::applyLaunchAtLogin);
    // Where nothing can start programs at login the switch would only mislead.
    m_launchAtLogin->setVisible(m_loginItem.isSupported());
    buildTimePlacement();
    startFollowingPreferences();
}

// The combo box's indexes are the stored values: automatic, beside the icon, in the icon.
// Automatic asks the panel; the other two are for panels we cannot tell apart.
void GeneralSection::buildTimePlacement()
{
    QHBoxLayout* row = addRow();
    auto* title = new QLabel(QStringLiteral("Show the time:"), this);
    m_timePlacement = new QComboBox(this);
    m_timePlacement->setObjectName(QStringLiteral("timePlacementPicker"));
    m_timePlacement->addItems(
        {QStringLiteral("automatically"), QStringLiteral("beside the icon"), QStringLiteral("in the icon")});
    title->setBuddy(m_timePlacement);
    row->addWidget(title, 1);
    row->addWidget(m_timePlacement);
    connect(m_timePlacement, &QComboBox::currentIndexChanged, this,
            [this](int index) { preferences().setValue(timePlacement, qint64(index)); });
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
    const QSignalBlocker blockPlacement(m_timePlacement);
    const qint64 placement = preferences().value(timePlacement);
    m_timePlacement->setCurrentIndex(placement >= 0 && placement <= 2 ? int(placement) : 0);
}
