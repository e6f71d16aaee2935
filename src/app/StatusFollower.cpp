#include "StatusFollower.h"

#include "CommandOutput.h"

#include <QPointer>

StatusFollower::StatusFollower(InstanceLink& link, StatusReport& report, StatusReport::Format format,
                               FILE* out, FILE* err)
    : m_link(link)
    , m_report(report)
    , m_format(format)
    , m_out(out)
    , m_err(err)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(200);
    connect(&m_retry, &QTimer::timeout, this, &StatusFollower::instanceStarted);
}

bool StatusFollower::start()
{
    // Listening starts before the first question, so no change falls between the two. The
    // link dies with this follower's owner, after it.
    const QPointer<StatusFollower> self(this);
    const bool watching = m_link.watch({[self] {
                                            if (self)
                                                self->instanceStarted();
                                        },
                                        [self] {
                                            if (self)
                                                self->instanceStopped();
                                        },
                                        [self](const QVariantMap& changed) {
                                            if (self)
                                                self->takeChanges(changed);
                                        }});
    if (!watching)
        return false;
    if (m_link.isInstanceRunning())
        instanceStarted();
    else
        instanceStopped();
    return true;
}

void StatusFollower::takeChanges(const QVariantMap& changed)
{
    // A change before the first full answer: the instance has just started, ask it for everything.
    if (m_live.isEmpty()) {
        instanceStarted();
        return;
    }
    m_live.insert(changed);
    // Today's total falls only when a new day begins; the finished day is stored by then, and
    // yesterday, the average and the streak move on with it.
    if (m_live.value(QStringLiteral("TodaySeconds")).toLongLong() < m_report.todaySeconds())
        m_report.readStore();
    if (m_report.takeLive(m_live))
        print();
}

void StatusFollower::instanceStarted()
{
    // Before the first question, so no second falls between the two. An instance that does
    // not know the call still announces each minute and each pause.
    m_link.call(QStringLiteral("Subscribe"));
    const std::optional<QVariantMap> properties = m_link.properties();
    if (!properties || !m_report.takeLive(*properties)) {
        if (m_link.isInstanceRunning())
            m_retry.start();
        return;
    }
    m_live = *properties;
    print();
}

// Until an instance starts, the store's figures stand in: today's total as last saved.
void StatusFollower::instanceStopped()
{
    m_live.clear();
    m_retry.stop();
    writeLine(m_err, QStringLiteral("lumatick status: Lumatick is not running; waiting for it to start"));
    std::fflush(m_err);
    m_report.readStore();
    print();
}

void StatusFollower::print()
{
    const QString line = m_report.text(m_format, true);
    if (line == m_lastLine)
        return;
    m_lastLine = line;
    writeText(m_out, line);
    if (std::fflush(m_out) != 0 || std::ferror(m_out))
        Q_EMIT outputClosed();
}
