#pragma once

#include "SettingsSection.h"

class QSlider;

// "Tracking": counting without an idle timeout, or the minutes of inactivity after which
// counting pauses.
class TrackingSection : public SettingsSection {
    Q_OBJECT
public:
    explicit TrackingSection(Preferences& preferences, QWidget* parent = nullptr);

    // "Idle timeout: 5 minutes", singular only for exactly one.
    static QString idleTimeoutText(qint64 minutes);

protected:
    void refresh() override;

private:
    QCheckBox* m_alwaysCount = nullptr;
    QWidget* m_timeoutGroup = nullptr;
    QLabel* m_timeoutTitle = nullptr;
    QSlider* m_timeout = nullptr;
};
