#include "FakeLoginItem.h"

bool FakeLoginItem::setEnabled(bool enabled, QString* error)
{
    m_calls.append(enabled ? QStringLiteral("enable") : QStringLiteral("disable"));
    if (m_failing) {
        if (error)
            *error = QStringLiteral("the autostart folder is not writable");
        return false;
    }
    m_enabled = enabled;
    return true;
}
