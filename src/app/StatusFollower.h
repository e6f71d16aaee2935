#pragma once

#include "InstanceLink.h"
#include "StatusReport.h"

#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <cstdio>

// `lumatick status --follow`: a report at once, then one each time the running instance
// announces a change of its figures (PropertiesChanged of its control object, each second once
// subscribed). The store is
// read only while no instance runs and when a new day begins; a line equal to the last one
// is not repeated. With no instance it says so once and waits for one to start.
class StatusFollower : public QObject {
    Q_OBJECT
public:
    // Keeps references; `link` and `report` must outlive the follower.
    StatusFollower(InstanceLink& link, StatusReport& report, StatusReport::Format format, FILE* out,
                   FILE* err);

    // Prints the first line and starts listening; false without a bus to listen on.
    bool start();

Q_SIGNALS:
    // Standard output can no longer be written: whoever read it has gone.
    void outputClosed();

private:
    void takeChanges(const QVariantMap& changed);
    void instanceStarted();
    void instanceStopped();
    void print();

    InstanceLink& m_link;
    StatusReport& m_report;
    StatusReport::Format m_format;
    FILE* m_out;
    FILE* m_err;
    // The instance's properties as last announced; empty while none runs.
    QVariantMap m_live;
    QString m_lastLine;
    // The instance takes its bus name before its control object answers; until then it is
    // asked again after a moment.
    QTimer m_retry;
};
