#include "site/gui/ProgressRelay.h"

#include "site/gui/MessagePanel.h"

namespace tessaly {

namespace {

// Lines the panel takes in one go: a few milliseconds of the window's time.
constexpr qsizetype BatchSize = 500;

} // namespace

ProgressRelay::ProgressRelay(MessagePanel &panel) : m_panel(&panel)
{
    connect(this, &ProgressRelay::waiting, this, &ProgressRelay::deliver, Qt::QueuedConnection);
}

void ProgressRelay::announce()
{
    if (m_announced)
        return;
    m_announced = true;
    emit waiting();
}

void ProgressRelay::add(const ProgressLine &line)
{
    QMutexLocker lock(&m_mutex);
    if (!line.logOnly)
        m_shownTexts.append(line.text);
    m_pending.append(line);
    announce();
}

void ProgressRelay::showLastLine()
{
    QMutexLocker lock(&m_mutex);
    m_showLastLine = true;
    announce();
}

QStringList ProgressRelay::shownTexts() const
{
    QMutexLocker lock(&m_mutex);
    return m_shownTexts;
}

void ProgressRelay::progress(int done, int total)
{
    QMutexLocker lock(&m_mutex);
    m_done = done;
    m_total = total;
    m_progressChanged = true;
    announce();
}

void ProgressRelay::deliver()
{
    QList<ProgressLine> lines;
    bool showLast = false;
    bool progressChanged = false;
    int done = 0;
    int total = 0;
    {
        QMutexLocker lock(&m_mutex);
        m_announced = false;
        if (m_pending.size() <= BatchSize) {
            lines.swap(m_pending);
        } else {
            lines = m_pending.first(BatchSize);
            m_pending.remove(0, BatchSize);
            announce();
        }
        if (m_pending.isEmpty()) {
            showLast = m_showLastLine;
            m_showLastLine = false;
        }
        progressChanged = m_progressChanged;
        m_progressChanged = false;
        done = m_done;
        total = m_total;
    }
    if (!m_panel)
        return;
    if (!lines.isEmpty())
        m_panel->addLines(lines);
    if (showLast)
        m_panel->showLastLine();
    if (progressChanged)
        m_panel->progress(done, total);
}

void ProgressRelay::deliverAll()
{
    bool more = true;
    while (more) {
        deliver();
        QMutexLocker lock(&m_mutex);
        more = !m_pending.isEmpty() || m_showLastLine || m_progressChanged;
    }
}

} // namespace tessaly
