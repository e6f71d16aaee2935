#pragma once

#include "Clock.h"

#include <QDateTime>

// A wall clock that moves only when the test says so.
class FakeClock {
public:
    explicit FakeClock(QDateTime start)
        : m_now(std::move(start))
    {}

    Clock clock()
    {
        return [this] { return m_now; };
    }
    QDateTime now() const { return m_now; }
    void set(const QDateTime& moment) { m_now = moment; }
    void advance(double seconds) { m_now = m_now.addMSecs(static_cast<qint64>(seconds * 1000.0)); }

private:
    QDateTime m_now;
};
