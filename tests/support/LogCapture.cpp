#include "LogCapture.h"

namespace {
// Qt's message handler is a plain function pointer, so the active capture must be reachable
// from it; tests are single-threaded and captures do not nest.
QList<LogCapture::Entry>* activeEntries = nullptr;
} // namespace

LogCapture::LogCapture()
    : m_previous(qInstallMessageHandler(&LogCapture::handle))
{
    activeEntries = &m_entries;
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    activeEntries = nullptr;
}

int LogCapture::count(QtMsgType type, const QString& category, const QString& message) const
{
    int matches = 0;
    for (const Entry& entry : m_entries) {
        if (entry.type == type && entry.category == category && entry.message == message)
            ++matches;
    }
    return matches;
}

void LogCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (activeEntries)
        activeEntries->append({type, QString::fromLatin1(context.category ? context.category : ""), message});
}
