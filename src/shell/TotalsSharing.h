#pragma once

#include "Clock.h"
#include "SharedTotalsFolder.h"

#include <QObject>

#include <optional>

class Preferences;
class RecordStore;
class ScreenTimeManager;

// Shares this computer's totals through the folder chosen in the preferences: makes the
// installation's id once, writes when the total moved (at most once a minute) and when asked
// (quit, sleep), and follows the setting while running.
class TotalsSharing : public QObject {
    Q_OBJECT

public:
    TotalsSharing(Preferences& preferences, RecordStore* store, ScreenTimeManager& manager, Clock clock,
                  QObject* parent = nullptr);

    void applyPreferences();
    void saveNow() { m_folder.publish(); }
    // Today's total over every computer; nothing while sharing is off.
    std::optional<qint64> allComputersToday() const;
    SharedTotalsFolder& folder() { return m_folder; }

private:
    QList<DailyScreenTime> ownRecords() const;
    QString installationId();

    Preferences& m_preferences;
    RecordStore* m_store;
    ScreenTimeManager& m_manager;
    Clock m_clock;
    SharedTotalsFolder m_folder;
};
