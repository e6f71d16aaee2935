#include "FakeStatusItem.h"

void FakeStatusItem::setLabel(const QString& text, const QString&)
{
    m_label = text;
    ++m_labelUpdates;
}

bool FakeStatusItem::start()
{
    m_started = true;
    if (m_shown)
        Q_EMIT shownChanged(true);
    return true;
}

void FakeStatusItem::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    if (m_started)
        Q_EMIT shownChanged(shown);
}
