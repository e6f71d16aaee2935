#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class ActivityTracker;
class Preferences;
class QTimer;
class RecordStore;

// Turns wall-clock time into today's total of active seconds, one tick a second. Each tick
// credits the elapsed time (at most 3 s) while tracking is not paused and the user is
// present, carries whole seconds into the total through a fractional accumulator, saves
// today's record every 60 ticks and rolls over to a fresh total when the local day changes.
// It also applies the idle timeout of the preferences to the tracker before each question.
class ScreenTimeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 accumulatedSeconds READ accumulatedSeconds NOTIFY accumulatedSecondsChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setPaused NOTIFY isPausedChanged)
public:
    static constexpr double maximumCreditPerTick = 3.0;
    static constexpr qint64 ticksBetweenSaves = 60;

    ScreenTimeManager(ActivityTracker& tracker, const Preferences& preferences, Clock clock,
                      QObject* parent = nullptr);

    // Loads and saves do nothing while no store is set. Saves file the total under the day it
    // was counted in, which in the second after midnight is still yesterday.
    void setModelContext(RecordStore* store) { m_modelContext = store; }
    void setOnTick(std::function<void()> callback) { m_onTick = std::move(callback); }
    void setOnMidnightReset(std::function<void()> callback) { m_onMidnightReset = std::move(callback); }

    void loadTodayTotal();
    void saveToday();
    void saveTrackedDay();
    // Starts the one-second timer; a second call does nothing.
    void start();
    void tick();
    // Local days move with the zone: the next tick looks at the calendar again.
    void timeZoneChanged();
    void resumeAfterWake();

    void checkBreakReminder();
    void sendBreakReminder(qint64 minutes);

    qint64 accumulatedSeconds() const { return m_accumulatedSeconds; }
    bool isPaused() const { return m_isPaused; }
    void setPaused(bool paused);
    void togglePause() { setPaused(!m_isPaused); }
    // Whether the last tick credited time: not paused and the user present. A pause ends it at once.
    bool isCounting() const { return m_isCounting; }

    qint64 continuousActiveSeconds() const { return m_continuousActiveSeconds; }
    double fractionalAccumulator() const { return m_fractionalAccumulator; }
    qint64 ticksSinceLastSave() const { return m_ticksSinceLastSave; }
    QDateTime lastTrackedDate() const { return m_lastTrackedDate; }
    QDateTime lastTickTimestamp() const;
    bool isStarted() const { return m_timer != nullptr; }

Q_SIGNALS:
    void accumulatedSecondsChanged(qint64 seconds);
    void isPausedChanged(bool paused);
    void isCountingChanged(bool counting);
    // Posted after a stretch of continuous counted time; `minutes` is the configured length.
    void breakReminderDue(qint64 minutes);

private:
    void setAccumulatedSeconds(qint64 seconds);
    void rollOverToNewDay(const QDateTime& now);
    void credit(double elapsedSeconds);
    void setLastTrackedDate(const QDateTime& moment);
    void rememberTrackedDayBounds();
    bool isInTrackedDay(qint64 msecsSinceEpoch) const;
    void endStretchWhenAway(bool away);
    void setCounting(bool counting);

    ActivityTracker& m_tracker;
    const Preferences& m_preferences;
    Clock m_clock;
    std::function<void()> m_onTick;
    std::function<void()> m_onMidnightReset;
    QTimer* m_timer = nullptr;
    RecordStore* m_modelContext = nullptr;

    qint64 m_accumulatedSeconds = 0;
    bool m_isPaused = false;
    bool m_isCounting = false;
    QDateTime m_lastTrackedDate;
    // The local calendar day of m_lastTrackedDate and where it begins and ends, so a tick only
    // compares instants: converting to local time reads the zone file each time.
    QDate m_lastTrackedDay;
    qint64 m_trackedDayStartMSecs = 0;
    qint64 m_trackedDayEndMSecs = 0;
    qint64 m_ticksSinceLastSave = 0;
    qint64 m_lastTickMSecs = 0;
    double m_fractionalAccumulator = 0.0;
    qint64 m_continuousActiveSeconds = 0;
};
