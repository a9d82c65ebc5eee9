#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <memory>

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

// Runs the event loop until everything posted to it so far has been
// handled: what a call queued for later would have done is done by then.
inline bool waitForPostedEvents(int milliseconds = 5000)
{
    auto reached = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [reached] { *reached = true; }, Qt::QueuedConnection);
    return waitUntil([reached] { return *reached; }, milliseconds);
}

} // namespace tessaly::testing
