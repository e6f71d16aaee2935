#pragma once

#include <QByteArray>

#include <optional>

// Sets (or, given nothing, unsets) an environment variable for the lifetime of the object,
// then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<QByteArray>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_previous;
};
