#include "support/TestVideos.h"

#include <QFile>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/log.h>
}

namespace tessaly::testing {

namespace {

// Owns what one file's writing needs and frees it in the right order.
class Writer
{
public:
    ~Writer()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool open(const QString &path, const char *container, const AVCodec *encoder)
    {
        if (!encoder || avformat_alloc_output_context2(&format, nullptr, container,
                                                       QFile::encodeName(path).constData()) < 0)
            return fail("no muxer or encoder");
        stream = avformat_new_stream(format, nullptr);
        codec = avcodec_alloc_context3(encoder);
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        return stream && codec && packet && frame ? true : fail("out of memory");
    }

    bool start(const QString &path)
    {
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(codec, codec->codec, nullptr) < 0)
            return fail("encoder refused its settings");
        if (avcodec_parameters_from_context(stream->codecpar, codec) < 0)
            return fail("parameters");
        stream->time_base = codec->time_base;
        if (avio_open(&format->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE) < 0)
            return fail("cannot create the file");
        if (avformat_write_header(format, nullptr) < 0)
            return fail("header");
        return true;
    }

    bool send(AVFrame *input)
    {
        if (avcodec_send_frame(codec, input) < 0)
            return fail("encoding");
        while (avcodec_receive_packet(codec, packet) >= 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                return fail("writing");
        }
        return true;
    }

    bool finish()
    {
        if (!send(nullptr))
            return false;
        return av_write_trailer(format) >= 0 ? true : fail("trailer");
    }

    bool fail(const char *why)
    {
        error = QString::fromLatin1(why);
        return false;
    }

    AVFormatContext *format = nullptr;
    AVStream *stream = nullptr;
    AVCodecContext *codec = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    QString error;
};

} // namespace

TestVideo::TestVideo() : picture(texturedStretch(seconds * framesPerSecond)) {}

TestVideo::Picture TestVideo::texturedStretch(int frameCount)
{
    return [frameCount](int frame, int x, int y) {
        const bool textured = frame * 100 >= frameCount * 25 && frame * 100 < frameCount * 45;
        if (!textured)
            return 0;
        return ((x / 8 + y / 8) % 2) ? 230 : 20;
    };
}

bool TestVideo::write(const QString &path, QString *error) const
{
    // The encoders' statistics are no part of a test's output.
    av_log_set_level(AV_LOG_ERROR);
    const bool avi = kind == Kind::MjpegInAvi;
    const char *container = "mp4";
    AVCodecID codecId = AV_CODEC_ID_MPEG4;
    switch (kind) {
    case Kind::Mpeg4InMp4:
        break;
    case Kind::MjpegInAvi:
        container = "avi";
        codecId = AV_CODEC_ID_MJPEG;
        break;
    case Kind::H264InMpegTs:
        container = "mpegts";
        codecId = AV_CODEC_ID_H264;
        break;
    case Kind::RawH264:
        container = "h264";
        codecId = AV_CODEC_ID_H264;
        break;
    case Kind::Vp8InWebm:
        container = "webm";
        codecId = AV_CODEC_ID_VP8;
        break;
    }
    Writer writer;
    bool ok = writer.open(path, container, avcodec_find_encoder(codecId));
    if (ok) {
        AVCodecContext *codec = writer.codec;
        codec->width = width;
        codec->height = height;
        codec->time_base = {1, framesPerSecond};
        codec->framerate = {framesPerSecond, 1};
        codec->pix_fmt = avi ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
        codec->gop_size = framesPerSecond * keyframeSeconds;
        codec->thread_count = 1;
        codec->max_b_frames = 0;
        codec->sample_aspect_ratio = {sampleAspectNumerator, sampleAspectDenominator};
        writer.stream->sample_aspect_ratio = codec->sample_aspect_ratio;
        if (displayTurn != 0) {
            auto *matrix = reinterpret_cast<int32_t *>(
                av_stream_new_side_data(writer.stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
            if (matrix)
                av_display_rotation_set(matrix, displayTurn);
        }
        ok = writer.start(path);
    }
    AVFrame *frame = writer.frame;
    if (ok) {
        frame->format = writer.codec->pix_fmt;
        frame->width = width;
        frame->height = height;
        ok = av_frame_get_buffer(frame, 0) >= 0 || writer.fail("frame");
    }
    const int frameCount = seconds * framesPerSecond;
    for (int index = 0; ok && index < frameCount; ++index) {
        ok = av_frame_make_writable(frame) >= 0 || writer.fail("frame");
        for (int y = 0; ok && y < height; ++y) {
            uint8_t *row = frame->data[0] + y * frame->linesize[0];
            for (int x = 0; x < width; ++x) {
                const int brightness = picture(index, x, y);
                row[x] = uint8_t(avi ? brightness : 16 + brightness * 219 / 255);
            }
        }
        for (int plane = 1; ok && plane < 3; ++plane) {
            for (int y = 0; y < (height + 1) / 2; ++y)
                memset(frame->data[plane] + y * frame->linesize[plane], 128, (width + 1) / 2);
        }
        frame->pts = index;
        frame->pict_type = index % writer.codec->gop_size == 0 ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        if (ok)
            ok = writer.send(frame);
    }
    if (ok)
        ok = writer.finish();
    if (!ok && error)
        *error = writer.error;
    return ok;
}

bool writeAudioOnly(const QString &path)
{
    Writer writer;
    if (!writer.open(path, "wav", avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE)))
        return false;
    AVCodecContext *codec = writer.codec;
    codec->sample_rate = 8000;
    codec->sample_fmt = AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&codec->ch_layout, 1);
    codec->time_base = {1, 8000};
    if (!writer.start(path))
        return false;
    AVFrame *frame = writer.frame;
    frame->format = codec->sample_fmt;
    frame->nb_samples = 8000;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    frame->sample_rate = 8000;
    if (av_frame_get_buffer(frame, 0) < 0)
        return false;
    auto *samples = reinterpret_cast<int16_t *>(frame->data[0]);
    for (int i = 0; i < frame->nb_samples; ++i)
        samples[i] = int16_t(8000 * std::sin(i * 0.3));
    frame->pts = 0;
    return writer.send(frame) && writer.finish();
}

GreyPicture decodeJpeg(const QByteArray &jpeg)
{
    GreyPicture picture;
    const AVCodec *decoder = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    AVCodecContext *context = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    if (context && packet && frame && avcodec_open2(context, decoder, nullptr) == 0 &&
        av_new_packet(packet, int(jpeg.size())) == 0) {
        std::memcpy(packet->data, jpeg.constData(), size_t(jpeg.size()));
        // Every planar format the decoder gives holds the brightness in its
        // first plane.
        if (avcodec_send_packet(context, packet) == 0 && avcodec_receive_frame(context, frame) == 0) {
            picture.width = frame->width;
            picture.height = frame->height;
            picture.pixels.resize(size_t(frame->width) * frame->height);
            for (int y = 0; y < frame->height; ++y)
                std::memcpy(picture.pixels.data() + size_t(y) * frame->width,
                            frame->data[0] + size_t(y) * frame->linesize[0], size_t(frame->width));
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    return picture;
}

double luminanceVariance(const QByteArray &jpeg)
{
    const GreyPicture picture = decodeJpeg(jpeg);
    if (picture.isNull())
        return 0;
    double sum = 0;
    double squares = 0;
    for (const unsigned char value : picture.pixels) {
        sum += value;
        squares += double(value) * value;
    }
    const double count = double(picture.pixels.size());
    return squares / count - (sum / count) * (sum / count);
}

} // namespace tessaly::testing
