#include "media/PosterFrame.h"

#include "media/VideoInput.h"
#include "media/VideoLibraries.h"
#include "media/VideoObjects.h"

#include <algorithm>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

namespace tessaly::media {

using Failure = PosterFrame::Failure;

namespace {

using Clock = std::chrono::steady_clock;

// A keyframe a few seconds after the wanted moment is as good; reading on
// for ever through a file without one is not.
constexpr int MostPacketsPerCandidate = 2000;
// Keyframes that fail to decode are not tried for ever either.
constexpr int MostDecodesPerCandidate = 8;
// What finding one candidate may read: a keyframe is found within a few
// megabytes of where a seek lands, and a seek without an index reads no
// further than this towards its moment.
constexpr int64_t CandidateBytes = int64_t(16) << 20;
// Frames decoded from the start when no candidate served.
constexpr int MostFramesFromTheStart = 250;
constexpr int CandidateCount = 5;
// Bounds the intermediate picture of a frame with an absurd shape.
constexpr int LargestIntermediateSide = 8192;

struct ScalerDeleter
{
    void operator()(SwsContext *scaler) const { sws_freeContext(scaler); }
};
using ScalerPtr = std::unique_ptr<SwsContext, ScalerDeleter>;

// The time limit and the cancel flag, asked by the libraries while they
// read and by the picker between its own steps.
class Watch
{
public:
    explicit Watch(const FrameLimits &limits)
        : m_deadline(Clock::now() + limits.timeLimit), m_cancel(limits.cancelled)
    {}

    bool expired()
    {
        if (m_cancel && m_cancel->load())
            m_stop = Failure::Cancelled;
        else if (Clock::now() >= m_deadline)
            m_stop = Failure::TimedOut;
        return m_stop != Failure::None;
    }
    Failure stop() const { return m_stop; }

    static int interrupt(void *watch) { return static_cast<Watch *>(watch)->expired() ? 1 : 0; }

private:
    Clock::time_point m_deadline;
    const std::atomic<bool> *m_cancel;
    Failure m_stop = Failure::None;
};

// A picture of full-range 4:2:0, as the JPEG wants it.
FramePtr newPicture(int width, int height)
{
    FramePtr frame(av_frame_alloc());
    if (!frame)
        return nullptr;
    frame->format = AV_PIX_FMT_YUVJ420P;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    return frame;
}

// Video streams that are none: cover art inside audio files, and text art
// that some demuxers offer for any text file.
bool isPictureStream(const AVStream *stream)
{
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
        return false;
    if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
        return false;
    switch (stream->codecpar->codec_id) {
    case AV_CODEC_ID_ANSI:
    case AV_CODEC_ID_BINTEXT:
    case AV_CODEC_ID_XBIN:
    case AV_CODEC_ID_IDF:
        return false;
    default:
        return true;
    }
}

// Quarter turns clockwise that show the frame upright.
int quarterTurns(const AVStream *stream, const AVFrame *frame)
{
    const uint8_t *matrix = nullptr;
    if (const AVFrameSideData *data = av_frame_get_side_data(frame, AV_FRAME_DATA_DISPLAYMATRIX);
        data && data->size >= 9 * sizeof(int32_t))
        matrix = data->data;
    size_t size = 0;
    if (!matrix) {
        const uint8_t *streamMatrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
        if (streamMatrix && size >= 9 * sizeof(int32_t))
            matrix = streamMatrix;
    }
    if (!matrix)
        return 0;
    const double counterClockwise = av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
    if (std::isnan(counterClockwise))
        return 0;
    const long turns = std::lround(-counterClockwise / 90.0);
    return int(((turns % 4) + 4) % 4);
}

// Copies the middle of one plane into the target's plane, turned by the
// given quarter turns clockwise.
void copyTurned(const uint8_t *source, int sourceStride, int sourceWidth, int sourceHeight, int left, int top,
                uint8_t *target, int targetStride, int targetWidth, int targetHeight, int turns)
{
    // The source region has the target's shape before the turn.
    const int regionWidth = (turns % 2) ? targetHeight : targetWidth;
    const int regionHeight = (turns % 2) ? targetWidth : targetHeight;
    for (int y = 0; y < targetHeight; ++y) {
        uint8_t *row = target + std::ptrdiff_t(y) * targetStride;
        for (int x = 0; x < targetWidth; ++x) {
            int sx = x;
            int sy = y;
            switch (turns) {
            case 1:
                sx = y;
                sy = regionHeight - 1 - x;
                break;
            case 2:
                sx = regionWidth - 1 - x;
                sy = regionHeight - 1 - y;
                break;
            case 3:
                sx = regionWidth - 1 - y;
                sy = x;
                break;
            default:
                break;
            }
            sx = std::clamp(left + sx, 0, sourceWidth - 1);
            sy = std::clamp(top + sy, 0, sourceHeight - 1);
            row[x] = source[std::ptrdiff_t(sy) * sourceStride + sx];
        }
    }
}

double luminanceVariance(const AVFrame *frame)
{
    double sum = 0;
    double squares = 0;
    for (int y = 0; y < frame->height; ++y) {
        const uint8_t *row = frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x) {
            sum += row[x];
            squares += double(row[x]) * row[x];
        }
    }
    const double count = double(frame->width) * frame->height;
    const double mean = sum / count;
    return squares / count - mean * mean;
}

// A candidate cut to the asked shape, with the whole frame's shown size.
struct Candidate
{
    FramePtr picture;
    int displayWidth = 0;
    int displayHeight = 0;
};

YuvPicture packed(const AVFrame *frame)
{
    YuvPicture picture;
    picture.width = frame->width;
    picture.height = frame->height;
    for (int plane = 0; plane < 3; ++plane) {
        const int width = picture.planeWidth(plane);
        QByteArray &bytes = picture.planes[plane];
        bytes.resize(qsizetype(width) * picture.planeHeight(plane));
        for (int y = 0; y < picture.planeHeight(plane); ++y)
            std::copy_n(frame->data[plane] + std::ptrdiff_t(y) * frame->linesize[plane], width,
                        bytes.data() + std::ptrdiff_t(y) * width);
    }
    return picture;
}

class Picker
{
public:
    Picker(const QByteArray &file, int width, int height, const FrameLimits &limits)
        : m_file(file), m_width(width), m_height(height), m_watch(limits),
          m_input([this] { return m_watch.expired(); })
    {}

    PosterFrame run()
    {
        PosterFrame poster;
        poster.failure = open();
        if (poster.failure == Failure::PictureTooLarge) {
            poster.storedWidth = m_stream->codecpar->width;
            poster.storedHeight = m_stream->codecpar->height;
        }
        if (poster.failure != Failure::None)
            return poster;

        Candidate best;
        double bestVariance = -1;
        const auto consider = [&](const AVFrame *decoded) {
            Candidate candidate = cut(decoded);
            if (!candidate.picture)
                return;
            const double variance = luminanceVariance(candidate.picture.get());
            if (variance > bestVariance) {
                bestVariance = variance;
                best = std::move(candidate);
            }
        };
        for (int i = 1; i <= CandidateCount && !m_watch.expired(); ++i) {
            if (const AVFrame *decoded = keyframeAtOrAfter(candidateTime(i)))
                consider(decoded);
        }
        // A clip shorter than the first candidate, or one whose keyframes
        // are not marked, still has a first frame.
        if (!best.picture && !m_watch.expired()) {
            if (const AVFrame *decoded = firstFrame())
                consider(decoded);
        }
        // Time running out after a candidate was found still gives that one.
        if (m_watch.stop() == Failure::Cancelled || (m_watch.stop() == Failure::TimedOut && !best.picture)) {
            poster.failure = m_watch.stop();
            return poster;
        }
        if (!best.picture) {
            poster.failure = Failure::NotAVideo;
            return poster;
        }
        poster.picture = packed(best.picture.get());
        poster.displayWidth = best.displayWidth;
        poster.displayHeight = best.displayHeight;
        return poster;
    }

private:
    Failure open()
    {
        switch (m_input.open(m_file)) {
        case VideoInput::Status::Open:
            break;
        case VideoInput::Status::NotAVideo:
            return Failure::NotAVideo;
        case VideoInput::Status::StillPicture:
            return Failure::NoVideoPicture;
        case VideoInput::Status::Stopped:
            return m_watch.stop();
        }
        AVFormatContext *context = m_input.format();

        bool sawPicture = false;
        const AVCodec *decoder = nullptr;
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            AVStream *stream = context->streams[i];
            if (!isPictureStream(stream))
                continue;
            sawPicture = true;
            if ((decoder = avcodec_find_decoder(stream->codecpar->codec_id))) {
                m_stream = stream;
                break;
            }
        }
        if (!m_stream)
            return sawPicture ? Failure::MissingDecoder : Failure::NoVideoPicture;
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (context->streams[i] != m_stream)
                context->streams[i]->discard = AVDISCARD_ALL;
        }
        // A damaged or hostile header must not make one frame take
        // gigabytes; a frame that large is said to be so, not taken for a
        // format without a decoder.
        const AVCodecParameters *parameters = m_stream->codecpar;
        if (int64_t(parameters->width) * parameters->height > LargestFramePixels)
            return Failure::PictureTooLarge;

        m_decoder.reset(avcodec_alloc_context3(decoder));
        if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), parameters) < 0)
            return Failure::MissingDecoder;
        // One thread: a single keyframe is decoded at a time, and frame
        // threads would hold a picture buffer each.
        m_decoder->thread_count = 1;
        m_decoder->max_pixels = LargestFramePixels;
        if (avcodec_open2(m_decoder.get(), decoder, nullptr) < 0)
            return Failure::MissingDecoder;

        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        if (!m_packet || !m_frame)
            return Failure::NotAVideo;
        return Failure::None;
    }

    // The i-th candidate's moment, in the stream's time base.
    int64_t candidateTime(int i) const
    {
        const AVFormatContext *context = m_input.format();
        int64_t duration = AV_NOPTS_VALUE;
        if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
            duration = context->duration;
        else if (m_stream->duration != AV_NOPTS_VALUE && m_stream->duration > 0)
            duration = av_rescale_q(m_stream->duration, m_stream->time_base, AV_TIME_BASE_Q);
        const int64_t offset =
            duration != AV_NOPTS_VALUE ? duration / 10 * i : int64_t(10) * i * AV_TIME_BASE;
        const int64_t start = context->start_time != AV_NOPTS_VALUE ? context->start_time : 0;
        return av_rescale_q(start + offset, AV_TIME_BASE_Q, m_stream->time_base);
    }

    const AVFrame *keyframeAtOrAfter(int64_t moment)
    {
        m_input.allowBytes(CandidateBytes);
        if (av_seek_frame(m_input.format(), m_stream->index, moment, 0) < 0)
            return nullptr;
        return nextKeyframe(moment);
    }

    // Decodes the first keyframe read from here whose time is not before
    // the moment, alone: no frame before or after it is decoded.
    const AVFrame *nextKeyframe(int64_t moment)
    {
        int decodes = 0;
        for (int packets = 0; packets < MostPacketsPerCandidate && decodes < MostDecodesPerCandidate;
             ++packets) {
            if (!readPacket())
                return nullptr;
            const AVPacket *packet = m_packet.get();
            if (!(packet->flags & AV_PKT_FLAG_KEY))
                continue;
            const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (time != AV_NOPTS_VALUE && time < moment)
                continue;
            ++decodes;
            if (decodeAlone(packet))
                return m_frame.get();
        }
        return nullptr;
    }

    // The first frame the stream gives when decoded from its start, marked
    // as a keyframe or not, with the frames a decoder holds back given up
    // at the end.
    const AVFrame *firstFrame()
    {
        const int64_t start = m_stream->start_time != AV_NOPTS_VALUE ? m_stream->start_time : 0;
        m_input.allowBytes(CandidateBytes);
        if (av_seek_frame(m_input.format(), m_stream->index, start, AVSEEK_FLAG_BACKWARD) < 0) {
            // A stream without timestamps reads its allowance looking for
            // one; its start is found by position instead.
            m_input.allowBytes(CandidateBytes);
            if (av_seek_frame(m_input.format(), -1, 0, AVSEEK_FLAG_BYTE) < 0)
                return nullptr;
        }
        AVCodecContext *decoder = m_decoder.get();
        avcodec_flush_buffers(decoder);
        av_frame_unref(m_frame.get());
        bool ended = false;
        for (int packets = 0; packets < MostFramesFromTheStart && !ended; ++packets) {
            ended = !readPacket();
            if (avcodec_send_packet(decoder, ended ? nullptr : m_packet.get()) < 0 && ended)
                return nullptr;
            if (avcodec_receive_frame(decoder, m_frame.get()) >= 0 && m_frame->width > 0 &&
                m_frame->height > 0)
                return m_frame.get();
        }
        return nullptr;
    }

    // The next packet of the chosen stream; false at the end of the file,
    // of the bytes allowed, or of the time.
    bool readPacket()
    {
        while (!m_watch.expired()) {
            av_packet_unref(m_packet.get());
            if (av_read_frame(m_input.format(), m_packet.get()) < 0)
                return false;
            if (m_packet->stream_index == m_stream->index)
                return true;
        }
        return false;
    }

    bool decodeAlone(const AVPacket *packet)
    {
        AVCodecContext *decoder = m_decoder.get();
        avcodec_flush_buffers(decoder);
        av_frame_unref(m_frame.get());
        if (avcodec_send_packet(decoder, packet) < 0)
            return false;
        int received = avcodec_receive_frame(decoder, m_frame.get());
        if (received == AVERROR(EAGAIN)) {
            // A decoder that holds frames back for reordering gives this one
            // up when told that no more follow.
            avcodec_send_packet(decoder, nullptr);
            received = avcodec_receive_frame(decoder, m_frame.get());
        }
        return received >= 0 && m_frame->width > 0 && m_frame->height > 0;
    }

    // The frame as a player shows it, scaled to cover the asked shape and
    // cut to it around the middle.
    Candidate cut(const AVFrame *frame) const
    {
        const auto format = AVPixelFormat(frame->format);
        if (!sws_isSupportedInput(format))
            return {};
        const int turns = quarterTurns(m_stream, frame);
        // The asked shape before the turn, in the frame's orientation.
        const int width = turns % 2 ? m_height : m_width;
        const int height = turns % 2 ? m_width : m_height;

        AVRational sampleAspect =
            av_guess_sample_aspect_ratio(m_input.format(), m_stream, const_cast<AVFrame *>(frame));
        const double pixelAspect = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
        const double frameAspect = frame->width * pixelAspect / frame->height;
        const double wantedAspect = double(width) / height;
        // The part of the frame, in its own pixels, that fills the shape.
        double shownWidth = frame->width;
        double shownHeight = frame->height;
        if (frameAspect > wantedAspect)
            shownWidth = frame->height * wantedAspect / pixelAspect;
        else
            shownHeight = frame->width * pixelAspect / wantedAspect;
        const auto scaled = [](double side, double shown, int wanted) {
            const long value = std::lround(side * wanted / shown);
            return int(std::clamp<long>(value, wanted, std::max(wanted, LargestIntermediateSide)));
        };
        const int scaledWidth = scaled(frame->width, shownWidth, width);
        const int scaledHeight = scaled(frame->height, shownHeight, height);

        FramePtr intermediate = newPicture(scaledWidth, scaledHeight);
        Candidate candidate{newPicture(m_width, m_height)};
        if (!intermediate || !candidate.picture)
            return {};
        ScalerPtr scaler(sws_getContext(frame->width, frame->height, format, scaledWidth, scaledHeight,
                                        AV_PIX_FMT_YUVJ420P, SWS_AREA, nullptr, nullptr, nullptr));
        if (!scaler)
            return {};
        useFrameColours(scaler.get(), frame);
        sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, intermediate->data,
                  intermediate->linesize);

        // Even offsets keep the half-size colour planes in step.
        const int left = ((scaledWidth - width) / 2) & ~1;
        const int top = ((scaledHeight - height) / 2) & ~1;
        AVFrame *picture = candidate.picture.get();
        for (int plane = 0; plane < 3; ++plane) {
            const int shift = plane == 0 ? 0 : 1;
            const auto half = [shift](int side) { return (side + shift) >> shift; };
            copyTurned(intermediate->data[plane], intermediate->linesize[plane], half(scaledWidth),
                       half(scaledHeight), left >> shift, top >> shift, picture->data[plane],
                       picture->linesize[plane], half(m_width), half(m_height), turns);
        }
        const int displayWidth = int(std::lround(frame->width * pixelAspect));
        candidate.displayWidth = turns % 2 ? frame->height : displayWidth;
        candidate.displayHeight = turns % 2 ? displayWidth : frame->height;
        return candidate;
    }

    static void useFrameColours(SwsContext *scaler, const AVFrame *frame)
    {
        int *inverseTable = nullptr;
        int *table = nullptr;
        int sourceRange = 0;
        int targetRange = 0;
        int brightness = 0;
        int contrast = 0;
        int saturation = 0;
        if (sws_getColorspaceDetails(scaler, &inverseTable, &sourceRange, &table, &targetRange, &brightness,
                                     &contrast, &saturation) < 0)
            return;
        if (frame->color_range == AVCOL_RANGE_JPEG)
            sourceRange = 1;
        const int space = frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
        sws_setColorspaceDetails(scaler, sws_getCoefficients(space), sourceRange, table, targetRange,
                                 brightness, contrast, saturation);
    }

    QByteArray m_file; // the path's bytes
    int m_width;
    int m_height;
    Watch m_watch;
    VideoInput m_input;
    AVStream *m_stream = nullptr;
    CodecPtr m_decoder;
    PacketPtr m_packet;
    FramePtr m_frame;
};

} // namespace

PosterFrame takePosterFrame(const QByteArray &videoFile, int width, int height, const FrameLimits &limits)
{
    if (!silenceVideoLibraries()) {
        PosterFrame poster;
        poster.failure = Failure::NoLibraries;
        poster.libraryFailure = loadVideoLibraries();
        return poster;
    }
    return Picker(videoFile, std::max(width, 1), std::max(height, 1), limits).run();
}

QByteArray encodeJpeg(const YuvPicture &picture)
{
    if (!silenceVideoLibraries())
        return {};
    FramePtr frame = newPicture(picture.width, picture.height);
    if (!frame)
        return {};
    for (int plane = 0; plane < 3; ++plane) {
        const int width = picture.planeWidth(plane);
        if (picture.planes[plane].size() != qsizetype(width) * picture.planeHeight(plane))
            return {};
        for (int y = 0; y < picture.planeHeight(plane); ++y)
            std::copy_n(picture.planes[plane].constData() + std::ptrdiff_t(y) * width, width,
                        frame->data[plane] + std::ptrdiff_t(y) * frame->linesize[plane]);
    }

    const AVCodec *encoder = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!encoder)
        return {};
    CodecPtr context(avcodec_alloc_context3(encoder));
    if (!context)
        return {};
    context->width = frame->width;
    context->height = frame->height;
    context->pix_fmt = AV_PIX_FMT_YUVJ420P;
    context->time_base = {1, 25};
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = FF_QP2LAMBDA * 3;
    if (avcodec_open2(context.get(), encoder, nullptr) < 0)
        return {};
    frame->quality = context->global_quality;
    frame->pts = 0;
    PacketPtr packet(av_packet_alloc());
    if (!packet || avcodec_send_frame(context.get(), frame.get()) < 0 ||
        avcodec_receive_packet(context.get(), packet.get()) < 0)
        return {};
    return QByteArray(reinterpret_cast<const char *>(packet->data), packet->size);
}

} // namespace tessaly::media
