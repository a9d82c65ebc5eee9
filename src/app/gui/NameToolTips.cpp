#include "app/gui/NameToolTips.h"

#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
#include <QTreeView>

namespace tessaly {

namespace {

class NameToolTips : public QObject
{
public:
    explicit NameToolTips(QTreeView *list) : QObject(list), m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The type first: the list may be half destroyed when other events come.
        if (event->type() != QEvent::ToolTip || watched != m_list->viewport())
            return false;
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = m_list->indexAt(help->pos());
        const QString name = index.data(Qt::DisplayRole).toString();
        // The row's own tip, if it has one, follows the name.
        QStringList lines;
        if (index.isValid() && isCutOff(index, name))
            lines.append(name.toHtmlEscaped());
        if (const QString tip = index.data(Qt::ToolTipRole).toString(); !tip.isEmpty())
            lines.append(tip.toHtmlEscaped());
        if (lines.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        // Escaped and marked up, so the name shows exactly as it is.
        const QString plain = QStringLiteral("<p style='white-space:pre'>") +
                              lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
        QToolTip::showText(help->globalPos(), plain, m_list->viewport(), m_list->visualRect(index));
        return true;
    }

private:
    bool isCutOff(const QModelIndex &index, const QString &name) const
    {
        const QRect shown = m_list->visualRect(index).intersected(m_list->viewport()->rect());
        const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
        int needed = m_list->fontMetrics().horizontalAdvance(name) + 2 * margin;
        if (!index.data(Qt::DecorationRole).isNull())
            needed += m_list->iconSize().width() + 2 * margin;
        return needed > shown.width();
    }

    QTreeView *m_list;
};

} // namespace

void showCutOffNamesAsToolTips(QTreeView *list)
{
    new NameToolTips(list);
}

} // namespace tessaly
