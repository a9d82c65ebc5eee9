#include "demo/ExampleVideo.h"

#include "media/Mp4Writer.h"

namespace tessaly::demo {

bool writeExampleVideo(const QString &path, const VideoShape &shape, const FramePainter &paint,
                       QString *reason, const std::atomic<bool> *stop)
{
    media::Mp4Writer writer(path, shape.width, shape.height, shape.framesPerSecond);
    bool ok = writer.open();
    for (int index = 0; ok && index < shape.frameCount(); ++index) {
        if (stop && *stop) {
            ok = false;
            break;
        }
        const QImage image = paint(index).convertToFormat(QImage::Format_RGB32);
        ok = writer.add({image.constBits(), image.bytesPerLine(), image.width(), image.height()}, index);
    }
    ok = ok && writer.finish();
    if (!ok && reason)
        *reason = writer.reason();
    return ok;
}

} // namespace tessaly::demo
