#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

// Runs the event loop in slices until condition holds; false when the timeout passes first.
// Tests wait on what other threads or processes do, so a fixed sleep would be slow or flaky.
template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 5000, int sliceMs = 20)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, sliceMs);
    }
    return true;
}
