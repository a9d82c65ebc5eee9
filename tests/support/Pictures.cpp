#include "support/LoopbackHttpServer.h"

#include <QBuffer>
#include <QImage>

namespace tessaly::testing {

QByteArray makePicture(int width, int height, unsigned colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace tessaly::testing
