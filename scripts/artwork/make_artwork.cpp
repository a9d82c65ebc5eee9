// Draws the built-in default cover and the row icons 3 to 6 once; the
// results are committed as resources, so the build never runs this.
//
//   g++ -fPIC make_artwork.cpp -o make_artwork $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen ./make_artwork <repository root>
//
// The cover's text needs a CJK font (fonts-wqy-microhei).
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <functional>

namespace {

const QSizeF IconSize(30, 28);

// Every icon is drawn in the 30 × 28 frame; the 2x picture is the same
// drawing at twice the scale, so both are sharp.
void saveIcon(const QString &folder, int number, const std::function<void(QPainter &)> &draw)
{
    for (int scale : {1, 2}) {
        QImage image((IconSize * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
        image.save(QStringLiteral("%1/icon%2%3.png").arg(folder).arg(number).arg(suffix));
    }
}

QBrush roundShade(const QPointF &centre, qreal radius, const QColor &light, const QColor &dark)
{
    QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    shade.setColorAt(0, light);
    shade.setColorAt(1, dark);
    return shade;
}

// A red disc with a white cross: a step that failed.
void drawFailure(QPainter &p)
{
    const QPointF centre(15, 14);
    p.setPen(QPen(QColor(0x9e, 0x1b, 0x1b), 1));
    p.setBrush(roundShade(centre, 11.5, QColor(0xf2, 0x5c, 0x5c), QColor(0xc6, 0x22, 0x22)));
    p.drawEllipse(centre, 11.5, 11.5);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 9.5), QPointF(19.5, 18.5));
    p.drawLine(QPointF(19.5, 9.5), QPointF(10.5, 18.5));
}

// A green speech bubble with its tail at the lower left: what the run says.
void drawSaying(QPainter &p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(3.5, 4.5, 23, 15), 5, 5);
    QPainterPath tail;
    tail.moveTo(8, 18);
    tail.lineTo(6.5, 25);
    tail.lineTo(14, 18);
    tail.closeSubpath();
    const QPainterPath shape = bubble.united(tail);
    QLinearGradient shade(0, 4, 0, 25);
    shade.setColorAt(0, QColor(0x6c, 0xd6, 0x6f));
    shade.setColorAt(1, QColor(0x2e, 0x9c, 0x3a));
    p.setPen(QPen(QColor(0x23, 0x7a, 0x2d), 1));
    p.setBrush(shade);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (qreal x : {9.5, 15.0, 20.5})
        p.drawEllipse(QPointF(x, 12), 1.6, 1.6);
}

// A sheet of text with a folded corner: the episode lists.
void drawPage(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(7.5, 2.5);
    sheet.lineTo(18.5, 2.5);
    sheet.lineTo(23.5, 7.5);
    sheet.lineTo(23.5, 25.5);
    sheet.lineTo(7.5, 25.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x6b, 0x78, 0x88), 1));
    p.setBrush(QColor(0xfb, 0xfc, 0xfe));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(18.5, 2.5);
    fold.lineTo(18.5, 7.5);
    fold.lineTo(23.5, 7.5);
    p.setBrush(QColor(0xd5, 0xdc, 0xe6));
    p.drawPath(fold);
    // Lines on pixel centres stay sharp at 1x.
    p.setPen(QPen(QColor(0x3f, 0x6f, 0xbf), 1, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(10, 7.5), QPointF(16, 7.5));
    for (qreal y : {11.5, 14.5, 17.5})
        p.drawLine(QPointF(10, y), QPointF(21, y));
    p.drawLine(QPointF(10, 20.5), QPointF(17, 20.5));
}

// A yellow light bulb: a hint of what comes next.
void drawBulb(QPainter &p)
{
    QPainterPath glass;
    glass.moveTo(11.5, 18.5);
    glass.cubicTo(11.5, 15.5, 7.5, 13.5, 7.5, 10);
    glass.cubicTo(7.5, 5.5, 11, 2.5, 15, 2.5);
    glass.cubicTo(19, 2.5, 22.5, 5.5, 22.5, 10);
    glass.cubicTo(22.5, 13.5, 18.5, 15.5, 18.5, 18.5);
    glass.closeSubpath();
    p.setPen(QPen(QColor(0xc2, 0x8a, 0x00), 1));
    p.setBrush(roundShade(QPointF(15, 10), 8, QColor(0xff, 0xf3, 0x9a), QColor(0xf7, 0xc3, 0x14)));
    p.drawPath(glass);
    p.setPen(QPen(QColor(0xc2, 0x8a, 0x00), 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 16.5), QPointF(14, 11.5));
    p.drawLine(QPointF(17, 16.5), QPointF(16, 11.5));
    p.setPen(QPen(QColor(0x5f, 0x66, 0x70), 1));
    p.setBrush(QColor(0xa9, 0xb1, 0xbb));
    p.drawRoundedRect(QRectF(11.5, 19, 7, 4), 1, 1);
    p.setBrush(QColor(0x7d, 0x85, 0x90));
    p.drawRoundedRect(QRectF(12.5, 23, 5, 2.5), 1, 1);
}

// 185 × 250: a film strip on a dark panel, and "暂无封面" beneath it.
void saveDefaultCover(const QString &path)
{
    QImage image(185, 250, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient panel(0, 0, 0, 250);
    panel.setColorAt(0, QColor(0x3a, 0x40, 0x4e));
    panel.setColorAt(1, QColor(0x1f, 0x23, 0x2c));
    p.fillRect(image.rect(), panel);
    p.setPen(QPen(QColor(0x5a, 0x62, 0x74), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7.5, 7.5, 170, 235));

    p.fillRect(QRectF(0, 70, 185, 68), QColor(0x12, 0x13, 0x17));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd8, 0xdb, 0xe2));
    for (int x = 6; x < 185; x += 16) {
        p.drawRoundedRect(QRectF(x, 74, 8, 6), 1.5, 1.5);
        p.drawRoundedRect(QRectF(x, 128, 8, 6), 1.5, 1.5);
    }
    QPainterPath play;
    play.moveTo(81, 91);
    play.lineTo(107, 104);
    play.lineTo(81, 117);
    play.closeSubpath();
    p.setBrush(QColor(0xee, 0xef, 0xf2));
    p.drawPath(play);

    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(22);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(QColor(0xdc, 0xe0, 0xf0));
    p.drawText(QRectF(0, 168, 185, 40), Qt::AlignCenter, QStringLiteral("暂无封面"));
    p.end();
    image.save(path, "JPG", 90);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString icons = root + QStringLiteral("/src/platform/gui/resources");
    saveIcon(icons, 3, drawFailure);
    saveIcon(icons, 4, drawSaying);
    saveIcon(icons, 5, drawPage);
    saveIcon(icons, 6, drawBulb);
    saveDefaultCover(root + QStringLiteral("/src/site/resources/DefaultCover.jpg"));
    return 0;
}
