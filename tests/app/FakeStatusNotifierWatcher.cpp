#include "FakeStatusNotifierWatcher.h"

// Every call is kept, repeats included: a second registration is what the tests look for.
void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service)
{
    m_registrations.append(service);
}
