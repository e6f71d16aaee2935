#pragma once

#include "SettingsSection.h"

// "Daily Goal": whether a daily ceiling is in use, and how many hours it allows.
class DailyGoalSection : public SettingsSection {
    Q_OBJECT
public:
    explicit DailyGoalSection(Preferences& preferences, QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    QCheckBox* m_enabled = nullptr;
    QWidget* m_goalGroup = nullptr;
    QLabel* m_goalTitle = nullptr;
    QSpinBox* m_goal = nullptr;
};
