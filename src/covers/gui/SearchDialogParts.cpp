#include "covers/gui/SearchDialogParts.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace tessaly::covers {

QLabel *makePreview(QWidget *parent)
{
    auto *preview = new QLabel(parent);
    preview->setObjectName(QStringLiteral("Picture1"));
    preview->setFixedSize(PreviewWidth, PreviewHeight);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setAlignment(Qt::AlignCenter);
    return preview;
}

namespace {

// Drawn on a 16-unit grid at the given scale, so every edge falls on a
// whole pixel at 1x and 2x.
QPixmap landscape(int scale)
{
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    const QRectF frame(1.5, 2.5, 13, 11);
    painter.setPen(QPen(QColor(0x4a, 0x5a, 0x6a), 1));
    painter.setBrush(QColor(0xbf, 0xe3, 0xff));
    painter.drawRoundedRect(frame, 1.5, 1.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xff, 0xc4, 0x2e));
    painter.drawEllipse(QPointF(10.5, 6), 1.8, 1.8);

    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 7.5);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 13);
    hills.closeSubpath();
    painter.setBrush(QColor(0x3f, 0x9b, 0x4a));
    painter.drawPath(hills);
    return pixmap;
}

} // namespace

QIcon candidateIcon()
{
    QIcon icon;
    icon.addPixmap(landscape(1));
    icon.addPixmap(landscape(2));
    return icon;
}

} // namespace tessaly::covers
