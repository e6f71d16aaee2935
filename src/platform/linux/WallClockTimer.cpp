#include "WallClockTimer.h"

#include "Logging.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <sys/timerfd.h>
#include <unistd.h>

namespace {
// Without the kernel timer a suspend or a clock change goes unnoticed by a monotonic timer;
// waking at least this often bounds how late the fallback can fire.
constexpr qint64 fallbackRecheckMs = 60 * 1000;

itimerspec absoluteTimerValue(const QDateTime& instant)
{
    // A zero it_value would disarm the timer, so an instant at or before the epoch becomes
    // its first nanosecond: still in the past, still firing at once.
    const qint64 ms = std::max<qint64>(instant.toMSecsSinceEpoch(), 0);
    itimerspec timerValue{};
    timerValue.it_value.tv_sec = static_cast<time_t>(ms / 1000);
    timerValue.it_value.tv_nsec = static_cast<long>((ms % 1000) * 1000 * 1000);
    if (ms == 0)
        timerValue.it_value.tv_nsec = 1;
    return timerValue;
}
} // namespace

WallClockTimer::WallClockTimer(QObject* parent)
    : QObject(parent)
{
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &WallClockTimer::onFallbackTimeout);

    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) {
        qCWarning(lcScreenTime) << "Wall-clock timer unavailable, scheduled notifications may come late "
                                   "after a suspend:"
                                << std::strerror(errno);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallClockTimer::readKernelTimer);
}

WallClockTimer::~WallClockTimer()
{
    if (m_fd >= 0) {
        delete m_notifier;
        ::close(m_fd);
    }
}

void WallClockTimer::start(const QDateTime& instant)
{
    if (!instant.isValid()) {
        stop();
        return;
    }
    m_instant = instant.toUTC();
    m_active = true;
    m_fallback.stop();
    if (m_fd >= 0 && armKernelTimer(m_instant))
        return;
    armFallback();
}

void WallClockTimer::stop()
{
    m_active = false;
    m_fallback.stop();
    if (m_fd >= 0)
        disarmKernelTimer();
}

bool WallClockTimer::armKernelTimer(const QDateTime& instant)
{
    const itimerspec timerValue = absoluteTimerValue(instant);
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &timerValue, nullptr) == 0)
        return true;
    qCWarning(lcScreenTime) << "Cannot arm the wall-clock timer, using a plain timer:"
                            << std::strerror(errno);
    return false;
}

void WallClockTimer::disarmKernelTimer()
{
    const itimerspec disarmed{};
    timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &disarmed, nullptr);
}

void WallClockTimer::readKernelTimer()
{
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(m_fd, &expirations, sizeof expirations);
    if (got == static_cast<ssize_t>(sizeof expirations)) {
        fire();
        return;
    }
    if (got < 0 && errno == ECANCELED)
        Q_EMIT clockChanged();
    // EAGAIN: a stale wake-up after the timer was re-armed or stopped; nothing to do.
}

void WallClockTimer::armFallback()
{
    const qint64 remaining = QDateTime::currentDateTimeUtc().msecsTo(m_instant);
    m_fallback.start(static_cast<int>(std::clamp<qint64>(remaining, 0, fallbackRecheckMs)));
}

void WallClockTimer::onFallbackTimeout()
{
    if (QDateTime::currentDateTimeUtc() < m_instant) {
        armFallback();
        return;
    }
    fire();
}

void WallClockTimer::fire()
{
    if (!m_active)
        return;
    m_active = false;
    Q_EMIT timeout();
}
