#pragma once

#include <QObject>

#include <cstdio>

class QSocketNotifier;

// Tells when nobody reads the pipe a stream writes into any more, as when a status bar that
// ran `lumatick status --follow` quits or reloads. A writer would otherwise learn it only at
// its next write, which may be hours away while tracking is paused. Streams that are not
// pipes are not watched: a terminal hangs up with SIGHUP, and a file has no reader to lose.
class PipeReaderWatcher : public QObject {
    Q_OBJECT
public:
    explicit PipeReaderWatcher(FILE* stream, QObject* parent = nullptr);

Q_SIGNALS:
    void readerGone();

private:
    void check();

    int m_descriptor = -1;
    QSocketNotifier* m_notifier = nullptr;
};
