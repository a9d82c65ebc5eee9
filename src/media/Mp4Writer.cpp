#include "media/Mp4Writer.h"

#include "files/Reasons.h"
#include "media/MediaTexts.h"
#include "media/VideoLibraries.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace tessaly::media {

namespace {

// The libraries' error codes are mostly negated error numbers; those read
// as the file layer words them, the others as the libraries' own cases.
QString reasonFor(int code)
{
    if (code < 0 && code > -4096)
        return files::reasonFor(AVUNERROR(code));
    switch (code) {
    case AVERROR_ENCODER_NOT_FOUND:
        return texts::noEncoderInLibraries();
    case AVERROR_MUXER_NOT_FOUND:
        return texts::noMp4Muxer();
    default:
        return texts::videoLibraryError(code);
    }
}

// RgbPicture's words as the scaler names them.
constexpr AVPixelFormat RgbPixels = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_0RGB;

} // namespace

Mp4Writer::Mp4Writer(const QString &path, int width, int height, int framesPerSecond)
    : m_path(QFile::encodeName(path)), m_width(width), m_height(height), m_framesPerSecond(framesPerSecond)
{}

Mp4Writer::~Mp4Writer()
{
    if (!m_librariesLoaded)
        return;
    sws_freeContext(m_scaler);
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_codec);
    if (m_format) {
        if (m_format->pb)
            avio_closep(&m_format->pb);
        avformat_free_context(m_format);
    }
}

bool Mp4Writer::open()
{
    if (!silenceVideoLibraries())
        return fail(loadVideoLibraries());
    m_librariesLoaded = true;
    const AVCodec *encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        return fail(texts::noH264Encoder());
    int code = avformat_alloc_output_context2(&m_format, nullptr, "mp4", m_path.constData());
    if (code < 0)
        return fail(code);
    m_stream = avformat_new_stream(m_format, nullptr);
    m_codec = avcodec_alloc_context3(encoder);
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_stream || !m_codec || !m_packet || !m_frame)
        return fail(AVERROR(ENOMEM));

    m_codec->width = m_width;
    m_codec->height = m_height;
    m_codec->time_base = {1, m_framesPerSecond};
    m_codec->framerate = {m_framesPerSecond, 1};
    m_codec->pix_fmt = AV_PIX_FMT_YUV420P;
    m_codec->gop_size = m_framesPerSecond;
    m_codec->keyint_min = m_framesPerSecond;
    m_codec->color_range = AVCOL_RANGE_MPEG;
    m_codec->colorspace = AVCOL_SPC_SMPTE170M;
    m_codec->color_primaries = AVCOL_PRI_SMPTE170M;
    m_codec->color_trc = AVCOL_TRC_SMPTE170M;
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "profile", "high", 0);
    av_dict_set(&options, "preset", "superfast", 0);
    // No keyframes at scene cuts: exactly one at every whole second.
    av_dict_set(&options, "x264-params", "scenecut=0", 0);
    code = avcodec_open2(m_codec, encoder, &options);
    av_dict_free(&options);
    if (code < 0)
        return fail(code);
    if ((code = avcodec_parameters_from_context(m_stream->codecpar, m_codec)) < 0)
        return fail(code);
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;

    if ((code = avio_open(&m_format->pb, m_path.constData(), AVIO_FLAG_WRITE)) < 0)
        return fail(code);
    av_dict_set(&options, "movflags", "+faststart", 0);
    code = avformat_write_header(m_format, &options);
    av_dict_free(&options);
    if (code < 0)
        return fail(code);

    m_frame->format = m_codec->pix_fmt;
    m_frame->width = m_width;
    m_frame->height = m_height;
    if ((code = av_frame_get_buffer(m_frame, 0)) < 0)
        return fail(code);
    m_scaler = sws_getContext(m_width, m_height, RgbPixels, m_width, m_height, AV_PIX_FMT_YUV420P,
                              SWS_BICUBIC, nullptr, nullptr, nullptr);
    return m_scaler ? true : fail(AVERROR(ENOMEM));
}

bool Mp4Writer::add(const RgbPicture &picture, int index)
{
    if (!m_scaler || picture.width != m_width || picture.height != m_height)
        return fail(AVERROR(EINVAL));
    int code = av_frame_make_writable(m_frame);
    if (code < 0)
        return fail(code);
    const uint8_t *source[] = {picture.bits};
    const int sourceStride[] = {int(picture.bytesPerLine)};
    sws_scale(m_scaler, source, sourceStride, 0, picture.height, m_frame->data, m_frame->linesize);
    m_frame->pts = index;
    return send(m_frame);
}

bool Mp4Writer::finish()
{
    if (!m_scaler)
        return fail(AVERROR(EINVAL));
    if (!send(nullptr))
        return false;
    int code = av_write_trailer(m_format);
    if (code < 0)
        return fail(code);
    if ((code = avio_closep(&m_format->pb)) < 0)
        return fail(code);
    return true;
}

bool Mp4Writer::send(AVFrame *frame)
{
    int code = avcodec_send_frame(m_codec, frame);
    if (code < 0)
        return fail(code);
    while ((code = avcodec_receive_packet(m_codec, m_packet)) >= 0) {
        // Each frame lasts its whole frame time, the last one too, so the
        // file reports exactly its length.
        if (m_packet->duration <= 0)
            m_packet->duration = 1;
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        if ((code = av_interleaved_write_frame(m_format, m_packet)) < 0)
            return fail(code);
    }
    return code == AVERROR(EAGAIN) || code == AVERROR_EOF ? true : fail(code);
}

bool Mp4Writer::fail(int code)
{
    return fail(reasonFor(code));
}

bool Mp4Writer::fail(const QString &reason)
{
    if (m_reason.isEmpty())
        m_reason = reason;
    return false;
}

} // namespace tessaly::media
