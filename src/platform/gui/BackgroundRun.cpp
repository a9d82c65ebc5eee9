#include "platform/gui/BackgroundRun.h"

#include "platform/Messages.h"

#include <QThread>

namespace tessaly {

BackgroundRun::BackgroundRun(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("BackgroundRun"));
}

BackgroundRun::~BackgroundRun()
{
    if (m_worker) {
        m_stop = true;
        m_worker->wait();
    }
}

bool BackgroundRun::start(const QString &quitQuestion, std::function<void()> work, std::function<void()> done)
{
    if (m_worker)
        return false;
    m_stop = false;
    m_closing = false;
    m_quitQuestion = quitQuestion;
    m_done = std::move(done);
    m_worker.reset(QThread::create(std::move(work)));
    m_worker->setObjectName(QStringLiteral("BackgroundRunWorker"));
    connect(m_worker.get(), &QThread::finished, this, &BackgroundRun::whenDone, Qt::QueuedConnection);
    emit runningChanged(true);
    m_worker->start();
    return true;
}

void BackgroundRun::whenDone()
{
    if (!m_worker)
        return;
    m_worker->wait();
    const std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    // The commands come back before the closing box, as they did when a
    // run ended inside the click.
    m_worker.reset();
    emit runningChanged(false);
    if (!m_closing && done)
        done();
    emit finished();
}

void BackgroundRun::stop()
{
    if (m_worker)
        m_stop = true;
}

bool BackgroundRun::mayClose()
{
    if (!m_worker)
        return true;
    if (!m_stop && Messages::question(m_quitQuestion) != MessageAnswer::Yes)
        return false;
    m_stop = true;
    m_closing = true;
    return true;
}

} // namespace tessaly
