#include "site/gui/MessagePanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessaly {

namespace {

// 120 twips at 96 dots per inch: the panel's distance from the area's edges.
constexpr int Margin = 8;

} // namespace

QIcon MessagePanel::rowIcon(ProgressIcon icon)
{
    // Loaded once each: a run adds thousands of lines.
    const int index = int(icon);
    auto found = m_icons.constFind(index);
    if (found == m_icons.constEnd())
        found = m_icons.insert(index, QIcon(QStringLiteral(":/window/icon%1.png").arg(index)));
    return *found;
}

MessagePanel::MessagePanel(QWidget *area)
    : QGroupBox(QStringLiteral("消息"), area), m_area(area), m_lines(new QTreeWidget(this)),
      m_progress(new QProgressBar(this)),
      m_openLink(new QPushButton(QStringLiteral("打开影片站点链接"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)),
      m_stop(new QPushButton(QStringLiteral("停止"), this))
{
    setObjectName(QStringLiteral("Frame2"));
    setAutoFillBackground(true);
    m_lines->setObjectName(QStringLiteral("ListView3"));
    m_lines->setColumnCount(1);
    m_lines->setHeaderHidden(true);
    m_lines->setRootIsDecorated(false);
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setIconSize(QSize(30, 28));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_openLink->setObjectName(QStringLiteral("Command9"));
    m_close->setObjectName(QStringLiteral("Command7"));
    m_stop->setObjectName(QStringLiteral("Command14"));
    m_stop->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_openLink);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lines);
    layout->addLayout(buttons);

    connect(m_close, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_stop->setEnabled(false);
        if (m_stopRun)
            m_stopRun();
    });
    connect(m_openLink, &QPushButton::clicked, this, [this] {
        // While a whole-site run goes on the panel cannot be closed; the
        // link still opens.
        if (m_close->isEnabled())
            hide();
        if (m_openSiteLink)
            m_openSiteLink();
    });
    area->installEventFilter(this);
    hide();
}

void MessagePanel::showOverArea()
{
    fitToArea();
    raise();
    show();
}

void MessagePanel::fitToArea()
{
    setGeometry(m_area->rect().adjusted(Margin, Margin, -Margin, -Margin));
}

bool MessagePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        fitToArea();
    return QGroupBox::eventFilter(watched, event);
}

void MessagePanel::beginWholeSiteRun()
{
    showOverArea();
    m_close->setEnabled(false);
    m_stop->hide();
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_lines->clear();
    progress(0, 1);
}

void MessagePanel::add(const ProgressLine &line)
{
    if (line.logOnly)
        return;
    auto *item = new QTreeWidgetItem(m_lines, QStringList{line.text});
    item->setIcon(0, rowIcon(line.icon));
}

void MessagePanel::addLines(const QList<ProgressLine> &lines)
{
    const QScrollBar *scroll = m_lines->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    QList<QTreeWidgetItem *> items;
    items.reserve(lines.size());
    for (const ProgressLine &line : lines) {
        if (line.logOnly)
            continue;
        auto *item = new QTreeWidgetItem(QStringList{line.text});
        item->setIcon(0, rowIcon(line.icon));
        items.append(item);
    }
    m_lines->addTopLevelItems(items);
    if (following)
        m_lines->scrollToBottom();
}

void MessagePanel::progress(int done, int total)
{
    // An empty run shows as a full bar, not an empty one.
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(total > 0 ? qBound(0, done, total) : 1);
}

void MessagePanel::showLastLine()
{
    const int count = m_lines->topLevelItemCount();
    if (count == 0)
        return;
    QTreeWidgetItem *last = m_lines->topLevelItem(count - 1);
    m_lines->setCurrentItem(last);
    m_lines->scrollToItem(last);
}

void MessagePanel::endWholeSiteRun()
{
    m_close->setEnabled(true);
    m_stop->hide();
    m_stopRun = nullptr;
    m_progress->setFormat(QStringLiteral("%v / %m"));
}

void MessagePanel::offerStop(std::function<void()> stop)
{
    m_stopRun = std::move(stop);
    m_stop->setEnabled(true);
    m_stop->show();
    m_progress->setFormat(QStringLiteral("%p%"));
}

} // namespace tessaly
