#pragma once

#include "SettingsSection.h"

class QButtonGroup;

// "Display": the counter or only the icon in the menu bar, and seconds in the counter.
class DisplaySection : public SettingsSection {
    Q_OBJECT
public:
    explicit DisplaySection(Preferences& preferences, QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    void buildPicker();

    QButtonGroup* m_display = nullptr;
    QWidget* m_secondsGroup = nullptr;
    QCheckBox* m_showSeconds = nullptr;
};
