#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Switches the process's local time zone (TZ) for the lifetime of the object. Qt reads local
// time through the C library, which caches the zone until tzset().
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone()
    {
        m_hadPrevious ? qputenv("TZ", m_previous) : qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray m_previous = qgetenv("TZ");
    bool m_hadPrevious = qEnvironmentVariableIsSet("TZ");
};
