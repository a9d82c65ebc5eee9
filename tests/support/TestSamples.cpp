#include "support/TestVideos.h"

#include <QFile>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace tessaly::testing {

namespace {

struct Encoder
{
    ~Encoder() { avcodec_free_context(&codec); }
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
};

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// Everything the encoder has for the stream, written out.
bool drain(AVFormatContext *format, Encoder &encoder, AVFrame *frame, AVPacket *packet)
{
    if (avcodec_send_frame(encoder.codec, frame) < 0)
        return false;
    while (avcodec_receive_packet(encoder.codec, packet) >= 0) {
        av_packet_rescale_ts(packet, encoder.codec->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        if (av_interleaved_write_frame(format, packet) < 0)
            return false;
    }
    return true;
}

} // namespace

bool MediaSample::write(const QString &path, QString *error) const
{
    av_log_set_level(AV_LOG_FATAL);
    const QByteArray name = QFile::encodeName(path);
    AVFormatContext *format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, muxer, name.constData()) < 0)
        return failWith(error, QStringLiteral("no muxer %1").arg(QLatin1String(muxer)));
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext *)> owner(format, [](AVFormatContext *context) {
        if (context->pb)
            avio_closep(&context->pb);
        avformat_free_context(context);
    });
    Encoder video;
    Encoder audio;
    AVStream *cover = nullptr;
    const auto add = [&](Encoder &encoder, const char *encoderName) -> bool {
        const AVCodec *codec = avcodec_find_encoder_by_name(encoderName);
        if (!codec)
            return failWith(error, QStringLiteral("no encoder %1").arg(QLatin1String(encoderName)));
        encoder.stream = avformat_new_stream(format, nullptr);
        encoder.codec = avcodec_alloc_context3(codec);
        return encoder.stream && encoder.codec;
    };
    if (videoEncoder) {
        if (!add(video, videoEncoder))
            return false;
        AVCodecContext *codec = video.codec;
        codec->width = 64;
        codec->height = 64;
        codec->time_base = {1, 10};
        codec->framerate = {10, 1};
        codec->pix_fmt = av_get_pix_fmt(pixelFormat);
        codec->gop_size = 10;
        codec->thread_count = 1;
        codec->max_b_frames = reordered ? 2 : 0;
        codec->bit_rate = 100000;
        av_opt_set(codec->priv_data, "preset", "ultrafast", 0);
        av_opt_set(codec->priv_data, "cpu-used", "8", 0);
        av_opt_set(codec->priv_data, "deadline", "realtime", 0);
        av_opt_set(codec->priv_data, "x265-params", "log-level=none", 0);
    }
    if (audioEncoder) {
        if (!add(audio, audioEncoder))
            return false;
        AVCodecContext *codec = audio.codec;
        const AVCodec *encoder = codec->codec;
        codec->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        codec->sample_rate = encoder->supported_samplerates ? encoder->supported_samplerates[0] : 48000;
        for (const int *rate = encoder->supported_samplerates; rate && *rate; ++rate)
            if (*rate == 48000)
                codec->sample_rate = 48000;
        av_channel_layout_default(&codec->ch_layout, 2);
        codec->time_base = {1, codec->sample_rate};
        codec->bit_rate = 128000;
        codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    }
    for (Encoder *encoder : {&video, &audio}) {
        if (!encoder->codec)
            continue;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            encoder->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(encoder->codec, encoder->codec->codec, nullptr) < 0 ||
            avcodec_parameters_from_context(encoder->stream->codecpar, encoder->codec) < 0)
            return failWith(error, QStringLiteral("encoder %1 refused").arg(encoder->codec->codec->name));
        encoder->stream->time_base = encoder->codec->time_base;
    }
    QByteArray coverJpeg;
    if (coverArt) {
        // A picture as tagging programs attach it: one packet, marked so.
        cover = avformat_new_stream(format, nullptr);
        cover->disposition |= AV_DISPOSITION_ATTACHED_PIC;
        cover->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        cover->codecpar->codec_id = AV_CODEC_ID_MJPEG;
        cover->codecpar->width = 16;
        cover->codecpar->height = 16;
        const AVCodec *jpeg = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
        AVCodecContext *context = avcodec_alloc_context3(jpeg);
        context->width = 16;
        context->height = 16;
        context->pix_fmt = AV_PIX_FMT_YUVJ420P;
        context->time_base = {1, 1};
        AVFrame *frame = av_frame_alloc();
        AVPacket *packet = av_packet_alloc();
        frame->format = context->pix_fmt;
        frame->width = frame->height = 16;
        if (avcodec_open2(context, jpeg, nullptr) == 0 && av_frame_get_buffer(frame, 0) == 0) {
            for (int plane = 0; plane < 3; ++plane)
                memset(frame->data[plane], 128, size_t(frame->linesize[plane]) * (plane ? 8 : 16));
            if (avcodec_send_frame(context, frame) == 0 && avcodec_receive_packet(context, packet) == 0)
                coverJpeg = QByteArray(reinterpret_cast<const char *>(packet->data), packet->size);
        }
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&context);
    }
    if (avio_open(&format->pb, name.constData(), AVIO_FLAG_WRITE) < 0)
        return failWith(error, QStringLiteral("cannot create %1").arg(path));
    AVDictionary *options = nullptr;
    if (indexFirst)
        av_dict_set(&options, "movflags", "faststart", 0);
    const int header = avformat_write_header(format, &options);
    av_dict_free(&options);
    if (header < 0)
        return failWith(error, QStringLiteral("header refused"));

    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    bool ok = packet && frame;
    if (ok && cover) {
        av_new_packet(packet, int(coverJpeg.size()));
        memcpy(packet->data, coverJpeg.constData(), size_t(coverJpeg.size()));
        packet->stream_index = cover->index;
        packet->flags |= AV_PKT_FLAG_KEY;
        ok = av_interleaved_write_frame(format, packet) >= 0;
    }
    if (ok && video.codec) {
        frame->format = video.codec->pix_fmt;
        frame->width = video.codec->width;
        frame->height = video.codec->height;
        ok = av_frame_get_buffer(frame, 0) >= 0;
        const AVPixFmtDescriptor *pixels = av_pix_fmt_desc_get(video.codec->pix_fmt);
        for (int index = 0; ok && index < 10; ++index) {
            ok = av_frame_make_writable(frame) >= 0;
            for (int plane = 0; ok && plane < 4 && frame->data[plane]; ++plane) {
                const int rows = plane == 1 || plane == 2
                                     ? AV_CEIL_RSHIFT(frame->height, pixels->log2_chroma_h)
                                     : frame->height;
                // Deeper samples are two bytes each, and must stay in range.
                const int value =
                    pixels->comp[0].depth > 8 ? 1 + (index + plane) % 3 : (index * 20 + plane * 60) & 0x7f;
                memset(frame->data[plane], value, size_t(frame->linesize[plane]) * rows);
            }
            frame->pts = index;
            ok = ok && drain(format, video, frame, packet);
        }
        ok = ok && drain(format, video, nullptr, packet);
        av_frame_unref(frame);
    }
    if (ok && audio.codec) {
        const int samples = audio.codec->frame_size > 0 ? audio.codec->frame_size : 1024;
        frame->format = audio.codec->sample_fmt;
        frame->nb_samples = samples;
        frame->sample_rate = audio.codec->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &audio.codec->ch_layout);
        ok = av_frame_get_buffer(frame, 0) >= 0;
        for (int64_t pts = 0; ok && pts < audio.codec->sample_rate; pts += samples) {
            ok = av_frame_make_writable(frame) >= 0;
            for (int plane = 0; ok && plane < AV_NUM_DATA_POINTERS && frame->data[plane]; ++plane)
                memset(frame->data[plane], 0, size_t(frame->linesize[0]));
            frame->pts = pts;
            ok = ok && drain(format, audio, frame, packet);
        }
        ok = ok && drain(format, audio, nullptr, packet);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    ok = ok && av_write_trailer(format) >= 0;
    return ok || failWith(error, QStringLiteral("writing failed"));
}

std::vector<int64_t> videoPresentationTimes(const QString &path)
{
    std::vector<int64_t> times;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return times;
    const int video = avformat_find_stream_info(format, nullptr) >= 0
                          ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                          : -1;
    AVPacket *packet = av_packet_alloc();
    while (video >= 0 && packet && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == video && packet->pts != AV_NOPTS_VALUE)
            times.push_back(av_rescale_q(packet->pts, format->streams[video]->time_base, {1, 1000}));
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return times;
}

} // namespace tessaly::testing
