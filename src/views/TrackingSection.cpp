#include "TrackingSection.h"

#include "Preferences.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

using namespace PreferenceKeys;

namespace {
constexpr int shortestTimeout = 1;
constexpr int longestTimeout = 60;
} // namespace

TrackingSection::TrackingSection(Preferences& preferences, QWidget* parent)
    : SettingsSection(QStringLiteral("Tracking"), preferences, parent)
{
    m_alwaysCount =
        addToggle(QStringLiteral("Always count (no idle timeout)"), QStringLiteral("alwaysCountToggle"));
    QVBoxLayout* group = nullptr;
    m_timeoutGroup = addGroup(QStringLiteral("idleTimeoutGroup"), &group);
    m_timeoutTitle = new QLabel(m_timeoutGroup);
    m_timeoutTitle->setObjectName(QStringLiteral("idleTimeoutTitle"));
    m_timeout = new QSlider(Qt::Horizontal, m_timeoutGroup);
    m_timeout->setObjectName(QStringLiteral("idleTimeoutSlider"));
    m_timeout->setAccessibleName(QStringLiteral("Idle timeout"));
    m_timeout->setRange(shortestTimeout, longestTimeout);
    m_timeout->setSingleStep(1);
    m_timeout->setPageStep(5);
    group->addWidget(m_timeoutTitle);
    group->addWidget(m_timeout);
    addCaption(QStringLiteral("Pause counting after this many minutes of inactivity."),
               QStringLiteral("idleTimeoutCaption"), group);

    connect(m_alwaysCount, &QCheckBox::toggled, this,
            [this](bool on) { this->preferences().setValue(idleTimeoutDisabled, on); });
    connect(m_timeout, &QSlider::valueChanged, this,
            [this](int minutes) { this->preferences().setValue(idleTimeoutMinutes, minutes); });
    startFollowingPreferences();
}

QString TrackingSection::idleTimeoutText(qint64 minutes)
{
    return QStringLiteral("Idle timeout: %1 minute%2")
        .arg(minutes)
        .arg(minutes == 1 ? QString() : QStringLiteral("s"));
}

void TrackingSection::refresh()
{
    const QSignalBlocker blockToggle(m_alwaysCount);
    const QSignalBlocker blockSlider(m_timeout);
    const bool disabled = preferences().value(idleTimeoutDisabled);
    m_alwaysCount->setChecked(disabled);
    m_timeoutGroup->setVisible(!disabled);
    const qint64 minutes = preferences().value(idleTimeoutMinutes);
    m_timeoutTitle->setText(idleTimeoutText(minutes));
    m_timeout->setValue(static_cast<int>(std::clamp<qint64>(minutes, shortestTimeout, longestTimeout)));
}
