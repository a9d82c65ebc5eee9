#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace tessaly::media {

// One picture to add: 32-bit words 0xffRRGGBB in the machine's byte order,
// rows `bytesPerLine` apart, as a QImage of Format_RGB32 holds them.
struct RgbPicture
{
    const uchar *bits = nullptr;
    qsizetype bytesPerLine = 0;
    int width = 0;
    int height = 0;
};

// Writes pictures in-process as H.264 (High profile, yuv420p, a keyframe at
// every whole second) into an MP4 file whose index comes first, so a browser
// starts playing before the whole file has arrived. Every call is checked;
// after the first failure, `reason` says why.
class Mp4Writer
{
public:
    Mp4Writer(const QString &path, int width, int height, int framesPerSecond);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer &) = delete;
    Mp4Writer &operator=(const Mp4Writer &) = delete;

    // Loads the libraries when they are not yet, and creates the file.
    bool open();
    // Picture `index` (from 0), of the writer's size.
    bool add(const RgbPicture &picture, int index);
    // Writes what the encoder holds back and the file's end.
    bool finish();

    const QString &reason() const { return m_reason; }

private:
    bool send(AVFrame *frame);
    bool fail(int code);
    bool fail(const QString &reason);

    QByteArray m_path;
    int m_width;
    int m_height;
    int m_framesPerSecond;
    bool m_librariesLoaded = false;
    AVFormatContext *m_format = nullptr;
    AVStream *m_stream = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    SwsContext *m_scaler = nullptr;
    QString m_reason;
};

} // namespace tessaly::media
