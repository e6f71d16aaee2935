#pragma once

#include <QObject>

#include <vector>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into an ordinary quit of the event loop, so a termination
// runs the same save as a quit from the menu and the process ends with status 0. The handler
// only wakes the event loop through a descriptor, because saving the store is not something a
// signal handler may do. Nothing is blocked: a blocked signal would be inherited by every program the
// counter starts (a desktop's settings, a browser), which could then no longer be terminated.
// SIGPIPE is ignored meanwhile. One instance at a time; it restores the default actions when
// it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void readPending();

    int m_descriptor = -1;
    std::vector<int> m_caught;
    QSocketNotifier* m_notifier = nullptr;
};
