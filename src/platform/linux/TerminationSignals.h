#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into an ordinary quit of the event loop, so a termination runs the
// same save as a quit from the menu and the process ends with status 0. The signals are read
// from a descriptor in the event loop rather than handled asynchronously, because saving the
// store is not something a signal handler may do.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Must run in main before any thread starts: threads inherit the mask, and a signal left
    // unblocked in one of them would still end the process without saving.
    static void blockInAllThreads();

    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the descriptor could not be created; the signals then keep their default
    // action (they were not blocked, or the caller chose to live with that).
    bool isActive() const { return m_descriptor >= 0; }

private:
    void readPending();

    int m_descriptor = -1;
    QSocketNotifier* m_notifier = nullptr;
};
