#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// A one-shot timer at an absolute wall-clock instant. A monotonic QTimer stops counting while
// the machine sleeps, so a delivery set for 22:00 would come late after a suspend; this timer
// follows the real-time clock instead, and says when someone sets that clock, so the owner can
// recompute what it waits for.
class WallClockTimer : public QObject {
    Q_OBJECT
public:
    explicit WallClockTimer(QObject* parent = nullptr);
    ~WallClockTimer() override;
    WallClockTimer(const WallClockTimer&) = delete;
    WallClockTimer& operator=(const WallClockTimer&) = delete;

    // Replaces any earlier instant; an instant already past fires at once.
    void start(const QDateTime& instant);
    void stop();
    bool isActive() const { return m_active; }
    QDateTime instant() const { return m_instant; }
    // False when the kernel timer could not be made and a plain timer stands in.
    bool followsWallClock() const { return m_fd >= 0; }

Q_SIGNALS:
    void timeout();
    // The real-time clock was set while the timer was armed. The timer stays armed for the
    // same instant, but the owner should work out the instant afresh and call start() again.
    void clockChanged();

private:
    bool armKernelTimer(const QDateTime& instant);
    void disarmKernelTimer();
    void readKernelTimer();
    void armFallback();
    void onFallbackTimeout();
    void fire();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_fallback;
    QDateTime m_instant;
    bool m_active = false;
};
