#include "demo/ExampleVideo.h"

#include "media/Mp4Writer.h"

namespace tessaly::demo {

files::Outcome<void> writeExampleVideo(const QString &path, const VideoShape &shape,
                                       const FramePainter &paint, const std::atomic<bool> *stop)
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
    if (!ok || !writer.finish())
        return files::Failure{path, writer.reason()};
    return {};
}

} // namespace tessaly::demo
