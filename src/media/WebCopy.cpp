#include "media/WebCopy.h"

#include "files/OpenFolder.h"
#include "files/Reasons.h"
#include "media/MediaTexts.h"
#include "media/Verdict.h"
#include "media/VideoInput.h"
#include "media/VideoLibraries.h"
#include "media/VideoObjects.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/mem.h>
#include <libavutil/rational.h>
}

namespace tessaly::media {

namespace {

using Status = WebCopyOutcome::Status;

// What the estimates assume of a small machine (two cores, one disk):
// copying reads the episode and writes the copy twice (the index is moved
// to the front by rewriting it), and the encoder at its "veryfast" preset
// makes about 30 frames of 1080p a second (web_copy_bench measures it).
constexpr double CopyBytesPerSecond = 120e6;
constexpr double SoundSecondsPerSecond = 300;
constexpr double EncodedPixelsPerSecond = 1920.0 * 1080 * 30;
constexpr double AssumedFramesPerSecond = 25;
// What the encoder's quality setting gives of ordinary film, in bits per
// pixel of a frame, and the sound's bit rate.
constexpr double VideoBitsPerPixel = 0.1;
constexpr int SoundBitRate = 160000;

constexpr int LargestWidth = 1920;
constexpr int LargestHeight = 1080;
constexpr int OutputBufferSize = 1 << 18;
// Failures of the decoder after one packet before it is left for the next.
constexpr int MostDamagedFrames = 1000;
// The metadata entry of a copy that names what it was made from.
constexpr const char *SourceKey = "tessaly-source";

bool isMp4Sound(const QString &codec)
{
    return codec == QLatin1String("aac") || codec == QLatin1String("mp3");
}

// Bare streams carry no time stamps of their own: their picture is made
// anew, as the decoder gives it in order.
bool isBareStream(const MediaFacts &facts)
{
    return facts.container == QLatin1String("h264") || facts.container == QLatin1String("hevc");
}

WebCopyKind kindFor(const MediaFacts &facts)
{
    if (!facts.readable || (facts.videoCodec.isEmpty() && facts.audioCodecs.isEmpty()))
        return WebCopyKind::Impossible;
    if (verdictFor(facts).playability == Playability::Plays)
        return WebCopyKind::NotNeeded;
    // The copy holds the first sound stream alone, in MP4 with the index
    // in front: what browsers make of that decides.
    MediaFacts copy = facts;
    copy.container = QStringLiteral("mov");
    copy.family = QStringLiteral("mp4");
    copy.indexAtEnd = false;
    const QString sound = facts.audioCodecs.value(0);
    copy.audioCodecs = sound.isEmpty() ? QStringList() : QStringList{sound};
    const bool picturePlays = !isBareStream(facts) && [&] {
        MediaFacts silent = copy;
        silent.audioCodecs.clear();
        return facts.videoCodec.isEmpty() || verdictFor(silent).playability == Playability::Plays;
    }();
    if (!picturePlays)
        return WebCopyKind::Everything;
    if (sound.isEmpty() || (isMp4Sound(sound) && verdictFor(copy).playability == Playability::Plays))
        return WebCopyKind::StreamCopy;
    return WebCopyKind::NewSound;
}

struct GraphDeleter
{
    void operator()(AVFilterGraph *graph) const { avfilter_graph_free(&graph); }
};
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphDeleter>;

// The size and modification time of a file, as a copy records them.
QByteArray stampOf(const struct stat &status)
{
    return QByteArray::number(qint64(status.st_size)) + ' ' +
           QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(status.st_mtim.tv_nsec)).rightJustified(9, '0');
}

// ---------------------------------------------------------------------------
// The copy's file: a new file in the folder, written by descriptor. Moving
// the index to the front makes the muxer read the file it wrote; it asks
// for it by name, and is given the same file by descriptor.

class OutputFile
{
public:
    OutputFile(int descriptor, const std::function<bool()> &stopped) : m_fd(descriptor), m_stopped(stopped) {}

    AVIOContext *writer()
    {
        auto *buffer = static_cast<unsigned char *>(av_malloc(OutputBufferSize));
        AVIOContext *io = buffer ? avio_alloc_context(buffer, OutputBufferSize, 1, this, nullptr,
                                                      &OutputFile::write, &OutputFile::seek)
                                 : nullptr;
        if (!io)
            av_free(buffer);
        return io;
    }

    // The error number of the first failed write; 0 when none failed.
    int error() const { return m_error; }
    bool stopSeen() const { return m_stopSeen; }

    static int openForMuxer(AVFormatContext *format, AVIOContext **io, const char *url, int flags,
                            AVDictionary **)
    {
        auto *self = static_cast<OutputFile *>(format->opaque);
        // Only the file being written, and only to read it back.
        if (flags != AVIO_FLAG_READ || qstrcmp(url, format->url) != 0)
            return AVERROR(EPERM);
        auto *reader = new Reader{self->m_fd, 0};
        auto *buffer = static_cast<unsigned char *>(av_malloc(OutputBufferSize));
        *io = buffer ? avio_alloc_context(buffer, OutputBufferSize, 0, reader, &Reader::read, nullptr,
                                          &Reader::seek)
                     : nullptr;
        if (!*io) {
            av_free(buffer);
            delete reader;
            return AVERROR(ENOMEM);
        }
        return 0;
    }

    static int closeForMuxer(AVFormatContext *, AVIOContext *io)
    {
        delete static_cast<Reader *>(io->opaque);
        av_freep(&io->buffer);
        avio_context_free(&io);
        return 0;
    }

private:
    struct Reader
    {
        int fd;
        int64_t position;

        static int read(void *opaque, uint8_t *buffer, int size)
        {
            auto *self = static_cast<Reader *>(opaque);
            ssize_t got;
            do {
                got = ::pread(self->fd, buffer, size_t(size), off_t(self->position));
            } while (got < 0 && errno == EINTR);
            if (got < 0)
                return AVERROR(errno);
            if (got == 0)
                return AVERROR_EOF;
            self->position += got;
            return int(got);
        }

        static int64_t seek(void *opaque, int64_t offset, int whence)
        {
            auto *self = static_cast<Reader *>(opaque);
            struct stat status;
            if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE)
                return ::fstat(self->fd, &status) == 0 ? int64_t(status.st_size) : AVERROR(errno);
            return movePosition(self->position, offset, whence & ~AVSEEK_FORCE, -1);
        }
    };

    static int64_t movePosition(int64_t &position, int64_t offset, int whence, int64_t end)
    {
        int64_t target = offset;
        if (whence == SEEK_CUR)
            target = position + offset;
        else if (whence == SEEK_END && end >= 0)
            target = end + offset;
        else if (whence != SEEK_SET)
            return AVERROR(EINVAL);
        if (target < 0)
            return AVERROR(EINVAL);
        position = target;
        return target;
    }

    static int write(void *opaque, uint8_t *data, int size)
    {
        auto *self = static_cast<OutputFile *>(opaque);
        // A stop reaches the writing too: moving the index rewrites the
        // whole file.
        if (self->m_stopped && self->m_stopped()) {
            self->m_stopSeen = true;
            return AVERROR_EXIT;
        }
        if (self->m_error != 0)
            return AVERROR(self->m_error);
        int done = 0;
        while (done < size) {
            const ssize_t written =
                ::pwrite(self->m_fd, data + done, size_t(size - done), off_t(self->m_position + done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                self->m_error = written < 0 ? errno : ENOSPC;
                return AVERROR(self->m_error);
            }
            done += int(written);
        }
        self->m_position += size;
        self->m_end = std::max(self->m_end, self->m_position);
        return size;
    }

    static int64_t seek(void *opaque, int64_t offset, int whence)
    {
        auto *self = static_cast<OutputFile *>(opaque);
        if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE)
            return self->m_end;
        return movePosition(self->m_position, offset, whence & ~AVSEEK_FORCE, self->m_end);
    }

    int m_fd;
    const std::function<bool()> &m_stopped;
    int64_t m_position = 0;
    int64_t m_end = 0;
    int m_error = 0;
    bool m_stopSeen = false;
};

// ---------------------------------------------------------------------------
// One stream of the copy: its packets copied, or decoded, filtered and
// encoded anew.

struct Track
{
    AVStream *input = nullptr;
    AVStream *output = nullptr;
    CodecPtr decoder;
    CodecPtr encoder;
    GraphPtr graph;
    AVFilterContext *source = nullptr;
    AVFilterContext *sink = nullptr;
    int64_t lastDts = AV_NOPTS_VALUE;
    // Of video: how long a frame lasts, and how many frames the decoder
    // holds back before it shows one (B-frames).
    AVRational frameDuration{0, 1};
    int delay = 0;
    int64_t lastShown = AV_NOPTS_VALUE;

    bool copied() const { return !encoder; }
};

// How a stored picture is turned for showing, in quarter turns clockwise.
int quarterTurns(const AVStream *stream)
{
    size_t size = 0;
    const uint8_t *matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t))
        return 0;
    const double degrees = -av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
    if (std::isnan(degrees))
        return 0;
    return int(std::lround(degrees / 90)) & 3;
}

bool isHdrTransfer(int transfer)
{
    return transfer == AVCOL_TRC_SMPTE2084 || transfer == AVCOL_TRC_ARIB_STD_B67;
}

bool hasFilter(const char *name)
{
    return avfilter_get_by_name(name) != nullptr;
}

// The picture's way from the decoder to the encoder: interlaced fields
// made whole frames, turned as the file says it is shown, brought within
// the largest size, and made 8-bit 4:2:0 (tone-mapped to ordinary range
// when the source is HDR and the filters for it are there).
QByteArray videoFilters(const AVStream *stream, const AVCodecContext *decoder, bool *toneMapped)
{
    QList<QByteArray> steps;
    const AVCodecParameters *parameters = stream->codecpar;
    if (parameters->field_order != AV_FIELD_PROGRESSIVE)
        steps.append(hasFilter("bwdif") ? "bwdif=mode=send_frame:parity=auto:deint=interlaced"
                                        : "yadif=mode=send_frame:parity=auto:deint=interlaced");
    const int turns = quarterTurns(stream);
    if (turns == 1)
        steps.append("transpose=clock");
    else if (turns == 2)
        steps.append("hflip,vflip");
    else if (turns == 3)
        steps.append("transpose=cclock");
    const QSize shown =
        turns % 2 ? QSize(decoder->height, decoder->width) : QSize(decoder->width, decoder->height);
    const QSize size = webCopyPictureSize(shown);
    *toneMapped = isHdrTransfer(parameters->color_trc) && hasFilter("zscale") && hasFilter("tonemap");
    if (*toneMapped) {
        const char *transfer = parameters->color_trc == AVCOL_TRC_SMPTE2084 ? "smpte2084" : "arib-std-b67";
        steps.append(QByteArray("zscale=tin=") + transfer +
                     ":min=bt2020nc:pin=bt2020:rin=tv:t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,"
                     "tonemap=tonemap=hable:desat=0,zscale=t=bt709:m=bt709:r=tv");
    }
    // Scaling to a fixed size also keeps the size when a stream changes
    // its own midway; a picture already that size passes untouched.
    QByteArray scale = "scale=" + QByteArray::number(size.width()) + ':' + QByteArray::number(size.height());
    const bool fullRange = parameters->color_range == AVCOL_RANGE_JPEG ||
                           decoder->pix_fmt == AV_PIX_FMT_YUVJ420P ||
                           decoder->pix_fmt == AV_PIX_FMT_YUVJ422P || decoder->pix_fmt == AV_PIX_FMT_YUVJ444P;
    if (fullRange && !*toneMapped)
        scale += ":out_range=tv";
    steps.append(scale);
    steps.append("format=yuv420p");
    return steps.join(',');
}

QByteArray videoSourceArguments(const AVCodecContext *decoder, AVRational timeBase, AVRational aspect)
{
    if (aspect.num <= 0 || aspect.den <= 0)
        aspect = {1, 1};
    return QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=%4/%5:pixel_aspect=%6/%7")
        .arg(decoder->width)
        .arg(decoder->height)
        .arg(int(decoder->pix_fmt))
        .arg(timeBase.num)
        .arg(timeBase.den)
        .arg(aspect.num)
        .arg(aspect.den)
        .toLatin1();
}

QByteArray audioSourceArguments(const AVCodecContext *decoder, AVRational timeBase)
{
    AVChannelLayout layout{};
    if (av_channel_layout_copy(&layout, &decoder->ch_layout) < 0 || layout.nb_channels <= 0 ||
        layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        const int channels = std::max(1, decoder->ch_layout.nb_channels);
        av_channel_layout_uninit(&layout);
        av_channel_layout_default(&layout, channels);
    }
    char name[128] = {};
    av_channel_layout_describe(&layout, name, sizeof name);
    av_channel_layout_uninit(&layout);
    return QStringLiteral("time_base=%1/%2:sample_rate=%3:sample_fmt=%4:channel_layout=%5")
        .arg(timeBase.num)
        .arg(timeBase.den)
        .arg(decoder->sample_rate)
        .arg(int(decoder->sample_fmt))
        .arg(QLatin1String(name))
        .toLatin1();
}

// Builds source → `filters` → sink.
bool buildGraph(Track &track, const char *sourceName, const QByteArray &sourceArguments, const char *sinkName,
                const QByteArray &filters)
{
    track.graph.reset(avfilter_graph_alloc());
    if (!track.graph)
        return false;
    // One thread: the encoder and decoder use the cores.
    track.graph->nb_threads = 1;
    if (avfilter_graph_create_filter(&track.source, avfilter_get_by_name(sourceName), "in",
                                     sourceArguments.constData(), nullptr, track.graph.get()) < 0 ||
        avfilter_graph_create_filter(&track.sink, avfilter_get_by_name(sinkName), "out", nullptr, nullptr,
                                     track.graph.get()) < 0)
        return false;
    AVFilterInOut *outputs = avfilter_inout_alloc();
    AVFilterInOut *inputs = avfilter_inout_alloc();
    bool ok = outputs && inputs;
    if (ok) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = track.source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = track.sink;
        ok = avfilter_graph_parse_ptr(track.graph.get(), filters.constData(), &inputs, &outputs, nullptr) >=
                 0 &&
             avfilter_graph_config(track.graph.get(), nullptr) >= 0;
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return ok;
}

class Copier
{
public:
    Copier(const QString &source, const files::OpenFolder &folder, const QString &fileName,
           const std::function<bool()> &stopped, const std::function<void(double)> &progress)
        : m_sourcePath(source), m_folder(folder), m_fileName(fileName), m_stopped(stopped),
          m_progress(progress), m_input([this] { return isStopped(); })
    {
        m_outcome.path = source;
    }

    ~Copier()
    {
        closeOutput();
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temporary.isEmpty())
            static_cast<void>(m_folder.remove(m_temporary)); // nothing to tell in a destructor
    }

    WebCopyOutcome run()
    {
        if (make())
            m_outcome.status = Status::Made;
        return m_outcome;
    }

private:
    bool make()
    {
        const QString libraries = loadVideoLibraries();
        if (!libraries.isEmpty() || !silenceVideoLibraries())
            return fail(libraries);
        const QByteArray name = files::OpenFolder::nameOf(m_fileName);
        if (name.isEmpty() || name.contains('/') || name == "." || name == "..")
            return failAt(m_folder.path(), texts::badFileName());
        if (!openSource())
            return false;
        const files::Outcome<files::OpenFolder::Temporary> temporary = m_folder.createTemporary();
        if (!temporary)
            return failAt(m_folder.path(), temporary.failure().reason);
        m_fd = temporary->fd;
        m_temporary = temporary->name;
        m_output = std::make_unique<OutputFile>(m_fd, m_stopped);
        if (!openOutput() || !copyStreams() || !finish() || !check())
            return false;
        const QString copy = m_folder.pathOf(name);
        if (::fdatasync(m_fd) != 0 || ::close(std::exchange(m_fd, -1)) != 0)
            return failAt(copy, files::reasonFor(errno));
        if (const files::Outcome<void> renamed = m_folder.rename(m_temporary, name); !renamed)
            return failAt(copy, renamed.failure().reason);
        m_temporary.clear();
        m_outcome.path = copy;
        return true;
    }

    bool isStopped() const { return m_stopped && m_stopped(); }

    bool fail(const QString &reason)
    {
        m_outcome.status = isStopped() ? Status::Stopped : Status::Failed;
        m_outcome.reason = m_outcome.status == Status::Stopped ? texts::copyStopped() : reason;
        return false;
    }

    bool failAt(const QString &path, const QString &reason)
    {
        m_outcome.path = path;
        return fail(reason);
    }

    // A failure of the libraries while writing: the file system's own
    // reason when a write failed, the stop when one came.
    bool writingFailed()
    {
        if (m_output->error() != 0)
            return failAt(m_folder.pathOf(files::OpenFolder::nameOf(m_fileName)),
                          files::reasonFor(m_output->error()));
        return fail(texts::notAVideo());
    }

    bool openSource()
    {
        if (m_input.open(m_sourcePath) != VideoInput::Status::Open)
            return fail(texts::notAVideo());
        struct stat status;
        if (::fstat(m_input.descriptor(), &status) != 0)
            return fail(files::reasonFor(errno));
        m_stamp = stampOf(status);
        // Copying reads the whole file, and a little more where the
        // demuxer goes back; a hostile index must not make it read the
        // same bytes for ever.
        m_input.allowBytes(int64_t(status.st_size) * 4 + (int64_t(64) << 20));
        const MediaFacts facts = factsOf(m_input, m_sourcePath);
        m_outcome.kind = kindFor(facts);
        if (m_outcome.kind == WebCopyKind::Impossible)
            return fail(texts::notAVideo());
        AVFormatContext *format = m_input.format();
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            AVStream *stream = format->streams[i];
            const AVMediaType type = stream->codecpar->codec_type;
            if (type == AVMEDIA_TYPE_VIDEO && !m_video.input &&
                !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
                m_video.input = stream;
            else if (type == AVMEDIA_TYPE_AUDIO && !m_audio.input)
                m_audio.input = stream;
            else
                stream->discard = AVDISCARD_ALL;
        }
        // AVI keeps no times of showing: a picture stored out of the order
        // it is shown in (B-frames) is put back in order only by decoding.
        if (facts.container == QLatin1String("avi") && m_video.input &&
            m_video.input->codecpar->video_delay > 0)
            m_outcome.kind = WebCopyKind::Everything;
        if (m_video.input) {
            const AVRational rate = av_guess_frame_rate(format, m_video.input, nullptr);
            if (rate.num > 0 && rate.den > 0)
                m_video.frameDuration = av_inv_q(rate);
            m_video.delay = m_video.input->codecpar->video_delay;
        }
        if (format->start_time != AV_NOPTS_VALUE)
            m_start = format->start_time;
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
            m_duration = format->duration;
        return true;
    }

    bool openOutput()
    {
        const QByteArray url = m_folder.pathOf(m_temporary).toUtf8();
        if (avformat_alloc_output_context2(&m_format, nullptr, "mp4", url.constData()) < 0 || !m_format)
            return fail(texts::notAVideo());
        m_format->opaque = m_output.get();
        m_format->io_open = &OutputFile::openForMuxer;
        m_format->io_close2 = &OutputFile::closeForMuxer;
        m_format->pb = m_output->writer();
        if (!m_format->pb)
            return fail(files::reasonFor(ENOMEM));
        const bool everything = m_outcome.kind == WebCopyKind::Everything;
        const bool newSound = everything || m_outcome.kind == WebCopyKind::NewSound;
        if (m_video.input && !(everything ? openVideoEncoding() : openCopy(m_video)))
            return false;
        if (m_audio.input && !(newSound ? openSoundEncoding() : openCopy(m_audio)))
            return false;
        av_dict_set(&m_format->metadata, SourceKey, m_stamp.constData(), 0);
        AVDictionary *options = nullptr;
        av_dict_set(&options, "movflags", "+faststart+use_metadata_tags", 0);
        const int header = avformat_write_header(m_format, &options);
        av_dict_free(&options);
        return header >= 0 || writingFailed();
    }

    bool openCopy(Track &track)
    {
        track.output = avformat_new_stream(m_format, nullptr);
        if (!track.output || avcodec_parameters_copy(track.output->codecpar, track.input->codecpar) < 0)
            return fail(texts::notAVideo());
        // The source container's own name for the codec means nothing in MP4.
        track.output->codecpar->codec_tag = 0;
        track.output->time_base = track.input->time_base;
        track.output->sample_aspect_ratio = track.input->sample_aspect_ratio;
        size_t size = 0;
        if (const uint8_t *matrix = av_stream_get_side_data(track.input, AV_PKT_DATA_DISPLAYMATRIX, &size)) {
            if (uint8_t *copy = av_stream_new_side_data(track.output, AV_PKT_DATA_DISPLAYMATRIX, size))
                std::copy(matrix, matrix + size, copy);
        }
        return true;
    }

    bool openDecoder(Track &track)
    {
        const AVCodec *decoder = avcodec_find_decoder(track.input->codecpar->codec_id);
        track.decoder.reset(decoder ? avcodec_alloc_context3(decoder) : nullptr);
        if (!track.decoder || avcodec_parameters_to_context(track.decoder.get(), track.input->codecpar) < 0)
            return fail(texts::missingDecoder());
        track.decoder->pkt_timebase = track.input->time_base;
        track.decoder->max_pixels = LargestFramePixels;
        track.decoder->thread_count = 0;
        if (avcodec_open2(track.decoder.get(), decoder, nullptr) < 0)
            return fail(texts::missingDecoder());
        return true;
    }

    bool openEncoder(Track &track, const char *name, AVDictionary **options)
    {
        const AVCodec *encoder = track.encoder->codec;
        // As many threads as the encoder finds cores for: the libraries'
        // default is one.
        track.encoder->thread_count = 0;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            track.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        const int opened = avcodec_open2(track.encoder.get(), encoder, options);
        av_dict_free(options);
        track.output = opened >= 0 ? avformat_new_stream(m_format, nullptr) : nullptr;
        if (!track.output || avcodec_parameters_from_context(track.output->codecpar, track.encoder.get()) < 0)
            return fail(texts::missingEncoder(name));
        track.output->time_base = track.encoder->time_base;
        track.output->sample_aspect_ratio = track.encoder->sample_aspect_ratio;
        return true;
    }

    bool openVideoEncoding()
    {
        Track &track = m_video;
        if (!openDecoder(track))
            return false;
        const AVCodec *encoder = avcodec_find_encoder_by_name("libx264");
        if (!encoder)
            return fail(texts::missingEncoder("libx264"));
        bool toneMapped = false;
        const QByteArray filters = videoFilters(track.input, track.decoder.get(), &toneMapped);
        const AVRational aspect = av_guess_sample_aspect_ratio(m_input.format(), track.input, nullptr);
        if (!buildGraph(track, "buffer",
                        videoSourceArguments(track.decoder.get(), track.input->time_base, aspect),
                        "buffersink", filters))
            return fail(texts::notAVideo());
        track.encoder.reset(avcodec_alloc_context3(encoder));
        if (!track.encoder)
            return fail(files::reasonFor(ENOMEM));
        AVCodecContext *context = track.encoder.get();
        context->width = av_buffersink_get_w(track.sink);
        context->height = av_buffersink_get_h(track.sink);
        context->pix_fmt = AVPixelFormat(av_buffersink_get_format(track.sink));
        context->sample_aspect_ratio = av_buffersink_get_sample_aspect_ratio(track.sink);
        context->time_base = av_buffersink_get_time_base(track.sink);
        context->framerate = av_guess_frame_rate(m_input.format(), track.input, nullptr);
        context->color_range = AVCOL_RANGE_MPEG;
        const AVCodecParameters *source = track.input->codecpar;
        if (toneMapped) {
            context->color_primaries = AVCOL_PRI_BT709;
            context->color_trc = AVCOL_TRC_BT709;
            context->colorspace = AVCOL_SPC_BT709;
        } else if (!isHdrTransfer(source->color_trc)) {
            context->color_primaries = source->color_primaries;
            context->color_trc = source->color_trc;
            context->colorspace = source->color_space;
        }
        AVDictionary *options = nullptr;
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "23", 0);
        av_dict_set(&options, "profile", "high", 0);
        return openEncoder(track, "libx264", &options);
    }

    bool openSoundEncoding()
    {
        Track &track = m_audio;
        if (!openDecoder(track))
            return false;
        const AVCodec *encoder = avcodec_find_encoder_by_name("aac");
        if (!encoder)
            return fail(texts::missingEncoder("aac"));
        int rate = 48000;
        for (const int *supported = encoder->supported_samplerates; supported && *supported; ++supported) {
            if (*supported == track.decoder->sample_rate)
                rate = *supported;
        }
        const QByteArray filters =
            "aresample=" + QByteArray::number(rate) +
            ",aformat=sample_fmts=fltp:channel_layouts=stereo:sample_rates=" + QByteArray::number(rate);
        if (track.decoder->sample_rate <= 0 ||
            !buildGraph(track, "abuffer", audioSourceArguments(track.decoder.get(), track.input->time_base),
                        "abuffersink", filters))
            return fail(texts::notAVideo());
        track.encoder.reset(avcodec_alloc_context3(encoder));
        if (!track.encoder)
            return fail(files::reasonFor(ENOMEM));
        AVCodecContext *context = track.encoder.get();
        context->sample_fmt = AV_SAMPLE_FMT_FLTP;
        context->sample_rate = rate;
        context->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
        context->time_base = {1, rate};
        context->bit_rate = SoundBitRate;
        AVDictionary *options = nullptr;
        if (!openEncoder(track, "aac", &options))
            return false;
        av_buffersink_set_frame_size(track.sink, unsigned(context->frame_size));
        return true;
    }

    bool copyStreams()
    {
        PacketPtr packet(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        m_filtered.reset(av_frame_alloc());
        m_encoded.reset(av_packet_alloc());
        if (!packet || !m_frame || !m_filtered || !m_encoded)
            return fail(files::reasonFor(ENOMEM));
        AVFormatContext *format = m_input.format();
        while (!isStopped()) {
            const int read = av_read_frame(format, packet.get());
            if (read == AVERROR_EOF)
                break;
            if (read < 0)
                return fail(texts::notAVideo());
            Track *track = trackOf(packet->stream_index);
            if (!track) {
                av_packet_unref(packet.get());
                continue;
            }
            reportProgress(*track, packet.get());
            const bool ok = track->copied() ? write(*track, packet.get(), track->input->time_base)
                                            : decode(*track, packet.get());
            av_packet_unref(packet.get());
            if (!ok)
                return false;
        }
        if (isStopped())
            return fail({});
        for (Track *track : {&m_video, &m_audio}) {
            if (track->input && !track->copied() && !decode(*track, nullptr))
                return false;
        }
        return true;
    }

    Track *trackOf(int index)
    {
        for (Track *track : {&m_video, &m_audio}) {
            if (track->input && track->input->index == index)
                return track;
        }
        return nullptr;
    }

    void reportProgress(const Track &track, const AVPacket *packet)
    {
        const int64_t time = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        if (!m_progress || m_duration <= 0 || time == AV_NOPTS_VALUE)
            return;
        const int64_t done = av_rescale_q(time, track.input->time_base, AV_TIME_BASE_Q) - m_start;
        const double share = std::clamp(double(done) / double(m_duration), 0.0, 1.0);
        if (share >= m_reported + 0.001) {
            m_reported = share;
            m_progress(share);
        }
    }

    // A packet to the decoder (none: the end of the stream), and what comes
    // of it through the filters and the encoder.
    bool decode(Track &track, const AVPacket *packet)
    {
        // A damaged packet or frame is passed over, as players do.
        if (avcodec_send_packet(track.decoder.get(), packet) == AVERROR(ENOMEM))
            return fail(files::reasonFor(ENOMEM));
        for (int damaged = 0;;) {
            const int received = avcodec_receive_frame(track.decoder.get(), m_frame.get());
            if (received == AVERROR(EAGAIN))
                return true;
            if (received == AVERROR_EOF)
                break;
            if (received < 0) {
                if (++damaged < MostDamagedFrames)
                    continue;
                if (packet)
                    return true;
                break;
            }
            m_frame->pts = m_frame->best_effort_timestamp;
            // The encoder takes only times that go forward; a file whose
            // own do not (AVI tells only when a frame is stored) shows its
            // frames one frame's time apart.
            if (track.frameDuration.num > 0 && track.lastShown != AV_NOPTS_VALUE &&
                (m_frame->pts == AV_NOPTS_VALUE || m_frame->pts <= track.lastShown))
                m_frame->pts = track.lastShown + std::max<int64_t>(1, av_rescale_q(1, track.frameDuration,
                                                                                   track.input->time_base));
            track.lastShown = m_frame->pts;
            const int added = av_buffersrc_add_frame_flags(track.source, m_frame.get(), 0);
            av_frame_unref(m_frame.get());
            if (added < 0)
                return fail(texts::notAVideo());
            if (!filter(track))
                return false;
        }
        if (av_buffersrc_add_frame_flags(track.source, nullptr, 0) < 0 || !filter(track))
            return false;
        return encode(track, nullptr);
    }

    bool filter(Track &track)
    {
        for (;;) {
            const int got = av_buffersink_get_frame(track.sink, m_filtered.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return fail(texts::notAVideo());
            m_filtered->pict_type = AV_PICTURE_TYPE_NONE;
            if (m_filtered->pts != AV_NOPTS_VALUE)
                m_filtered->pts = av_rescale_q(m_filtered->pts, av_buffersink_get_time_base(track.sink),
                                               track.encoder->time_base);
            const bool ok = encode(track, m_filtered.get());
            av_frame_unref(m_filtered.get());
            if (!ok)
                return false;
        }
    }

    bool encode(Track &track, const AVFrame *frame)
    {
        if (avcodec_send_frame(track.encoder.get(), frame) < 0)
            return fail(texts::notAVideo());
        for (;;) {
            const int received = avcodec_receive_packet(track.encoder.get(), m_encoded.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0)
                return fail(texts::notAVideo());
            const bool ok = write(track, m_encoded.get(), track.encoder->time_base);
            av_packet_unref(m_encoded.get());
            if (!ok)
                return false;
        }
    }

    // The packet in the copy's time, which starts at zero, and with time
    // stamps a muxer takes: a file's own may be missing or go back.
    bool write(Track &track, AVPacket *packet, AVRational timeBase)
    {
        av_packet_rescale_ts(packet, timeBase, track.output->time_base);
        const int64_t offset = av_rescale_q(m_start, AV_TIME_BASE_Q, track.output->time_base);
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts -= offset;
        // The first packets of a film with B-frames may come without a
        // decoding time: it is counted on from the last, and before the
        // first one shown by as many frames as the decoder holds back.
        if (packet->dts != AV_NOPTS_VALUE)
            packet->dts -= offset;
        else if (track.lastDts != AV_NOPTS_VALUE)
            packet->dts = track.lastDts + step(track, packet);
        else if (packet->pts != AV_NOPTS_VALUE)
            packet->dts = packet->pts - track.delay * step(track, packet);
        else
            return true; // nothing tells when it comes
        if (track.lastDts != AV_NOPTS_VALUE && packet->dts <= track.lastDts)
            packet->dts = track.lastDts + 1;
        if (packet->pts == AV_NOPTS_VALUE || packet->pts < packet->dts)
            packet->pts = packet->dts;
        track.lastDts = packet->dts;
        packet->stream_index = track.output->index;
        packet->pos = -1;
        return av_interleaved_write_frame(m_format, packet) >= 0 || writingFailed();
    }

    // A packet's duration in the copy's time.
    static int64_t step(const Track &track, const AVPacket *packet)
    {
        if (packet->duration > 0)
            return packet->duration;
        if (track.frameDuration.num > 0)
            return std::max<int64_t>(1, av_rescale_q(1, track.frameDuration, track.output->time_base));
        return 1;
    }

    bool finish()
    {
        if (av_write_trailer(m_format) < 0 || m_output->error() != 0 || m_format->pb->error < 0 ||
            m_output->stopSeen())
            return writingFailed();
        return true;
    }

    void closeOutput()
    {
        if (!m_format)
            return;
        if (m_format->pb) {
            av_freep(&m_format->pb->buffer);
            avio_context_free(&m_format->pb);
        }
        avformat_free_context(m_format);
        m_format = nullptr;
    }

    // The copy must be one that browsers play, index in front.
    bool check()
    {
        closeOutput();
        VideoInput copy([this] { return isStopped(); });
        copy.open(::fcntl(m_fd, F_DUPFD_CLOEXEC, 0), m_fileName);
        const Verdict verdict = verdictFor(factsOf(copy, m_fileName));
        if (verdict.playability == Playability::Plays)
            return true;
        QString said = verdict.text();
        if (!verdict.reason.isEmpty())
            said += QStringLiteral(": ") + verdict.reason;
        return failAt(m_folder.pathOf(files::OpenFolder::nameOf(m_fileName)), texts::copyDoesNotPlay(said));
    }

    QString m_sourcePath;
    const files::OpenFolder &m_folder;
    QString m_fileName;
    const std::function<bool()> &m_stopped;
    const std::function<void(double)> &m_progress;
    VideoInput m_input;
    QByteArray m_stamp;
    int64_t m_start = 0;
    int64_t m_duration = 0;
    double m_reported = 0;
    Track m_video;
    Track m_audio;
    int m_fd = -1;
    QByteArray m_temporary;
    std::unique_ptr<OutputFile> m_output;
    AVFormatContext *m_format = nullptr;
    FramePtr m_frame;
    FramePtr m_filtered;
    PacketPtr m_encoded;
    WebCopyOutcome m_outcome;
};

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

WebCopyPlan planWebCopy(const MediaFacts &facts, qint64 sourceBytes)
{
    WebCopyPlan plan;
    plan.kind = kindFor(facts);
    const double seconds = facts.seconds.value_or(0);
    switch (plan.kind) {
    case WebCopyKind::NotNeeded:
    case WebCopyKind::Impossible:
        return plan;
    case WebCopyKind::StreamCopy:
        plan.estimatedBytes = sourceBytes;
        plan.estimatedSeconds = double(sourceBytes) / CopyBytesPerSecond;
        return plan;
    case WebCopyKind::NewSound:
        plan.estimatedBytes = sourceBytes;
        plan.estimatedSeconds = double(sourceBytes) / CopyBytesPerSecond + seconds / SoundSecondsPerSecond;
        return plan;
    case WebCopyKind::Everything:
        break;
    }
    const QSize size = webCopyPictureSize(QSize(facts.width, facts.height));
    const double pixelsPerSecond = double(size.width()) * size.height() * AssumedFramesPerSecond;
    if (seconds > 0) {
        const double bitsPerSecond =
            pixelsPerSecond * VideoBitsPerPixel + (facts.audioCodecs.isEmpty() ? 0 : SoundBitRate);
        plan.estimatedBytes = qint64(seconds * bitsPerSecond / 8);
    } else {
        plan.estimatedBytes = sourceBytes;
    }
    plan.estimatedSeconds =
        seconds * pixelsPerSecond / EncodedPixelsPerSecond + seconds / SoundSecondsPerSecond;
    return plan;
}

void WebCopySummary::add(const WebCopyPlan &plan)
{
    switch (plan.kind) {
    case WebCopyKind::StreamCopy:
        ++streamCopies;
        break;
    case WebCopyKind::NewSound:
        ++newSound;
        break;
    case WebCopyKind::Everything:
        ++everything;
        break;
    case WebCopyKind::NotNeeded:
    case WebCopyKind::Impossible:
        return;
    }
    estimatedBytes += plan.estimatedBytes;
    estimatedMinutes += plan.estimatedSeconds / 60;
}

QString WebCopySummary::text() const
{
    return texts::copyCounts(streamCopies, newSound, everything) + QStringLiteral(" (") +
           texts::copyEstimate(sizeText(estimatedBytes), std::max(1, int(std::ceil(estimatedMinutes)))) +
           QLatin1Char(')');
}

QSize webCopyPictureSize(QSize shown)
{
    if (shown.width() <= 0 || shown.height() <= 0)
        return {};
    const bool standing = shown.height() > shown.width();
    const QSize box = standing ? QSize(LargestHeight, LargestWidth) : QSize(LargestWidth, LargestHeight);
    QSize size = shown;
    if (size.width() > box.width() || size.height() > box.height())
        size = shown.scaled(box, Qt::KeepAspectRatio);
    return {std::max(2, size.width() & ~1), std::max(2, size.height() & ~1)};
}

QString WebCopyOutcome::message() const
{
    return path + QStringLiteral(": ") + reason;
}

WebCopyOutcome makeWebCopy(const QString &source, const files::OpenFolder &folder, const QString &fileName,
                           const std::function<bool()> &stopped, const std::function<void(double)> &progress)
{
    return Copier(source, folder, fileName, stopped, progress).run();
}

bool isUpToDate(const QString &copy, const QString &original)
{
    struct stat status;
    if (::stat(QFile::encodeName(original).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if (!loadVideoLibraries().isEmpty() || !silenceVideoLibraries())
        return false;
    VideoInput input;
    InputBudget headerOnly;
    headerOnly.analyseMicroseconds = 0;
    if (input.open(copy, headerOnly) != VideoInput::Status::Open)
        return false;
    const AVDictionaryEntry *entry = av_dict_get(input.format()->metadata, SourceKey, nullptr, 0);
    return entry && QByteArray(entry->value) == stampOf(status);
}

QString spaceShortage(const files::OpenFolder &folder, qint64 bytes)
{
    const files::Outcome<qint64> free = folder.freeSpace();
    if (!free)
        return folder.path() + QStringLiteral(": ") + free.failure().reason;
    if (*free >= bytes)
        return {};
    return folder.path() + QStringLiteral(": ") + texts::notEnoughSpace(sizeText(bytes), sizeText(*free));
}

} // namespace tessaly::media
