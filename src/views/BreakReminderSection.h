#pragma once

#include "SettingsSection.h"

// "Break Reminders": whether to remind, and after how many continuous active minutes.
class BreakReminderSection : public SettingsSection {
    Q_OBJECT
public:
    explicit BreakReminderSection(Preferences& preferences, QWidget* parent = nullptr);

    // "Every 60 minutes", singular only for exactly one.
    static QString intervalText(qint64 minutes);

protected:
    void refresh() override;

private:
    QCheckBox* m_enabled = nullptr;
    QWidget* m_intervalGroup = nullptr;
    QLabel* m_intervalTitle = nullptr;
    QSpinBox* m_interval = nullptr;
};
