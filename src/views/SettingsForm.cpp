#include "SettingsForm.h"

#include "BreakReminderSection.h"
#include "DailyGoalSection.h"
#include "DisplaySection.h"
#include "GeneralSection.h"
#include "NotificationSection.h"
#include "ShortcutSection.h"
#include "ThresholdSection.h"
#include "TrackingSection.h"

#include <QVBoxLayout>

SettingsForm::SettingsForm(Preferences& preferences, InProcessNotificationCenter& notifications,
                           LoginItem& loginItem, QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("settingsForm"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Not a Tab stop of its own: Tab goes straight to the first control, which it scrolls to.
    setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(16, 12, 16, 16);
    column->setSpacing(12);
    // Made in the order they stand: Tab follows the order in which widgets were made.
    column->addWidget(new ThresholdSection(preferences, content));
    column->addWidget(new TrackingSection(preferences, content));
    column->addWidget(new DisplaySection(preferences, content));
    column->addWidget(new BreakReminderSection(preferences, content));
    m_shortcut = new ShortcutSection(preferences, notifications, content);
    column->addWidget(m_shortcut);
    m_notifications = new NotificationSection(preferences, notifications, content);
    column->addWidget(m_notifications);
    column->addWidget(new DailyGoalSection(preferences, content));
    m_general = new GeneralSection(preferences, loginItem, content);
    column->addWidget(m_general);
    column->addStretch(1);
    setWidget(content);
}
