#include "ScopedEnv.h"

#include <QtGlobal>

ScopedEnv::ScopedEnv(const char* name, const std::optional<QByteArray>& value)
    : m_name(name)
    , m_wasSet(qEnvironmentVariableIsSet(name))
    , m_previous(qgetenv(name))
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_wasSet)
        qputenv(m_name, m_previous);
    else
        qunsetenv(m_name);
}
