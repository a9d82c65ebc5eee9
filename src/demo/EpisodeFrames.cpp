#include "demo/EpisodeFrames.h"

#include "covers/CoverSize.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace tessaly::demo {

namespace {

QFont fontOfSize(int pixels, int weight = QFont::Normal)
{
    QFont font(EpisodeFrames::fontFamily());
    // The package asks for either of two fonts with Chinese glyphs; the
    // names are drawn in whichever is installed.
    font.setFamilies({EpisodeFrames::fontFamily(), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixels);
    font.setWeight(QFont::Weight(weight));
    return font;
}

// Text with a soft dark edge, readable over any part of the background.
void drawOutlinedText(QPainter &painter, const QRect &box, const QString &text, const QFont &font)
{
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0, 110));
    for (const QPoint offset : {QPoint(2, 2), QPoint(-1, 1), QPoint(1, -1)})
        painter.drawText(box.translated(offset), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

// The project's name as large as it can be, at most `pixels` high, so that
// it fits `width`: covers are cut from the middle of a frame, and a name
// wider than the cover would lose both its ends there.
QFont fittedFont(const QString &text, int pixels, int width)
{
    QFont font = fontOfSize(pixels);
    const int smallest = qMax(8, pixels / 2);
    while (font.pixelSize() > smallest && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

} // namespace

QString EpisodeFrames::fontFamily()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

EpisodeFrames::EpisodeFrames(const QString &emblem, const QString &project, int episode, QColor tint,
                             const VideoShape &shape)
    : m_shape(shape), m_tint(tint)
{
    const int width = shape.width;
    const int height = shape.height;

    // Diagonal bands of the project's colour, repeating after one frame's
    // width so the window can slide over it without a seam.
    m_background = QImage(2 * width, height, QImage::Format_RGB32);
    {
        QPainter painter(&m_background);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height);
        sky.setColorAt(0, tint.darker(260));
        sky.setColorAt(1, tint.darker(140));
        painter.fillRect(m_background.rect(), sky);
        const int band = width / 8;
        painter.setPen(Qt::NoPen);
        for (int x = -height; x < 2 * width + height; x += 2 * band) {
            QPainterPath path;
            path.moveTo(x, height);
            path.lineTo(x + band, height);
            path.lineTo(x + band + height, 0);
            path.lineTo(x + height, 0);
            path.closeSubpath();
            painter.fillPath(path, QColor(255, 255, 255, 22));
        }
    }

    const int radius = height * 3 / 10;
    m_glow = QImage(2 * radius, 2 * radius, QImage::Format_ARGB32_Premultiplied);
    m_glow.fill(Qt::transparent);
    {
        QPainter painter(&m_glow);
        QRadialGradient glow(QPointF(radius, radius), radius);
        QColor colour = tint.lighter(170);
        colour.setAlpha(120);
        glow.setColorAt(0, colour);
        colour.setAlpha(0);
        glow.setColorAt(1, colour);
        painter.fillRect(m_glow.rect(), glow);
    }

    m_captions = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    m_captions.fill(Qt::transparent);
    QPainter painter(&m_captions);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawOutlinedText(painter, QRect(0, height * 8 / 100, width, height * 36 / 100), emblem,
                     fontOfSize(height * 26 / 100, QFont::Bold));
    // The covers taken from these frames have the default cover's shape.
    const covers::CoverSize cover;
    const int coverWidth = qMin(width, height * cover.width / cover.height);
    const QFont projectFont = fittedFont(project, height * 9 / 100, coverWidth * 9 / 10);
    const QString fitted =
        QFontMetrics(projectFont).elidedText(project, Qt::ElideMiddle, coverWidth * 9 / 10);
    drawOutlinedText(painter, QRect(0, height * 46 / 100, width, height * 14 / 100), fitted, projectFont);
    drawOutlinedText(painter, QRect(0, height * 62 / 100, width, height * 18 / 100),
                     QStringLiteral("第 %1 集").arg(episode), fontOfSize(height * 13 / 100, QFont::Bold));
}

QImage EpisodeFrames::frame(int index) const
{
    const int width = m_shape.width;
    const int height = m_shape.height;
    const int frames = m_shape.frameCount();
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);

    const int shift = (index * 3) % width;
    painter.drawImage(QPoint(0, 0), m_background, QRect(shift, 0, width, height));

    // Two lights drifting across, so every frame differs from the last.
    const double turn = 2 * M_PI * index / frames;
    for (int light = 0; light < 2; ++light) {
        const QPointF centre(width * (0.5 + 0.38 * std::cos(turn + light * M_PI)),
                             height * (0.5 + 0.32 * std::sin(2 * turn + light * M_PI)));
        painter.drawImage(centre - QPointF(m_glow.width(), m_glow.height()) / 2, m_glow);
    }

    painter.drawImage(0, 0, m_captions);

    // The time so far, as a bar and as seconds.
    const int barHeight = qMax(3, height / 60);
    painter.fillRect(QRect(0, height - barHeight, width, barHeight), QColor(0, 0, 0, 120));
    painter.fillRect(QRect(0, height - barHeight, width * (index + 1) / frames, barHeight),
                     m_tint.lighter(180));
    painter.setFont(fontOfSize(height / 20));
    painter.setPen(QColor(255, 255, 255, 200));
    const int tenths = index * 10 / m_shape.framesPerSecond;
    painter.drawText(QRect(0, 0, width - height / 30, height - barHeight - height / 60),
                     Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("%1.%2 s").arg(tenths / 10).arg(tenths % 10));
    return picture;
}

} // namespace tessaly::demo
