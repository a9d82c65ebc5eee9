#include "site/gui/MessagePanel.h"

#include "catalogue/gui/DetailsPane.h"
#include "site/ProgressLineModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace tessaly {

namespace {

// 120 twips at 96 dots per inch: the panel's distance from the area's edges.
constexpr int Margin = 8;

// The lines with the window's row icons: icon N is `:/window/iconN.png`.
class IconedLines : public ProgressLineModel
{
public:
    using ProgressLineModel::ProgressLineModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DecorationRole)
            return ProgressLineModel::data(index, role);
        const QVariant icon = ProgressLineModel::data(index, IconRole);
        if (!icon.isValid())
            return {};
        return rowIcon(icon.toInt());
    }

private:
    // Loaded once each: the view asks for every row it paints.
    QIcon rowIcon(int index) const
    {
        auto found = m_icons.constFind(index);
        if (found == m_icons.constEnd())
            found = m_icons.insert(index, QIcon(QStringLiteral(":/window/icon%1.png").arg(index)));
        return *found;
    }

    mutable QHash<int, QIcon> m_icons;
};

} // namespace

MessagePanel::MessagePanel(QWidget *area)
    : QGroupBox(QStringLiteral("消息"), area), m_area(area), m_lines(new IconedLines(this)),
      m_view(new QTreeView(this)), m_progress(new QProgressBar(this)),
      m_openLink(new QPushButton(QStringLiteral("打开影片站点链接"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)),
      m_stop(new QPushButton(QStringLiteral("停止"), this))
{
    setObjectName(QStringLiteral("Frame2"));
    setAutoFillBackground(true);
    m_view->setModel(m_lines);
    setUpRowList(m_view, QStringLiteral("ListView3"));
    m_view->setHeaderHidden(true);
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
    layout->addWidget(m_view);
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
    m_lines->append({line});
}

void MessagePanel::addLines(const QList<ProgressLine> &lines)
{
    const QScrollBar *scroll = m_view->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    m_lines->append(lines);
    if (following)
        m_view->scrollToBottom();
}

void MessagePanel::progress(int done, int total)
{
    // An empty run shows as a full bar, not an empty one.
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(total > 0 ? qBound(0, done, total) : 1);
}

void MessagePanel::showLastLine()
{
    const int count = m_lines->rowCount();
    if (count == 0)
        return;
    const QModelIndex last = m_lines->index(count - 1);
    m_view->setCurrentIndex(last);
    m_view->scrollTo(last);
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
