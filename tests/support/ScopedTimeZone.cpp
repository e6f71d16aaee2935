#include "ScopedTimeZone.h"

#include <QtGlobal>

#include <ctime>

namespace {
void applyZone()
{
    // Qt reads local time through the C library, which caches the zone until tzset().
    tzset();
}
} // namespace

ScopedTimeZone::ScopedTimeZone(const char* zone)
    : m_previous(qgetenv("TZ"))
    , m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
{
    qputenv("TZ", zone);
    applyZone();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_hadPrevious)
        qputenv("TZ", m_previous);
    else
        qunsetenv("TZ");
    applyZone();
}
