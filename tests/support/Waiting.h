#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace tessaly::testing {

// Runs the event loop until the condition holds or the time is up; returns
// the condition's last value.
inline bool waitUntil(const std::function<bool()> &condition, int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for a while, for things that must not happen.
inline void keepRunning(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

} // namespace tessaly::testing
