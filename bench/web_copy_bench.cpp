// Times making web copies against the ffmpeg program doing the same work:
//  - stream copy of a 1 GB H.264/AAC film in MKV into MP4 with the index in
//    front (`ffmpeg -c copy -movflags +faststart`), in MB/s of the source;
//  - encoding 20 s of 1080p MPEG-4 Part 2 with MP3 sound in AVI anew as
//    H.264 (libx264, "veryfast", CRF 23) and AAC, in frames a second.
// The sources are made once (about a minute) and kept beside the benchmark
// in `bench-data/`. The sides take turns, three times each, and the best
// time of each counts. Without the ffmpeg program the benchmark says so and
// stops.
//
//   web_copy_bench [copy|encode]   (both when neither is named)

#include "files/OpenFolder.h"
#include "media/VideoLibraries.h"
#include "media/WebCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr int FramesPerSecond = 25;
// The copy's source: a 10 s clip at a high bit rate, repeated to 1 GB.
constexpr int ClipSeconds = 10;
constexpr qint64 CopySourceBytes = qint64(1) << 30;
constexpr int EncodeSeconds = 20;

// One stream of a clip, encoded and held in memory.
struct Clip
{
    ~Clip()
    {
        for (AVPacket *packet : packets)
            av_packet_free(&packet);
        avcodec_parameters_free(&parameters);
    }
    AVCodecParameters *parameters = nullptr;
    AVRational timeBase{};
    std::vector<AVPacket *> packets;
    int64_t duration = 0; // in timeBase
};

// A picture with something of everything encoders meet: a gradient that
// drifts, grain, and a bright block that sweeps across.
void drawFrame(AVFrame *frame, int index, std::mt19937 &random, int grain)
{
    for (int y = 0; y < frame->height; ++y) {
        uint8_t *row = frame->data[0] + size_t(y) * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x)
            row[x] = uint8_t(16 + ((x + y + index * 4) % 200) + (grain ? int(random() % grain) : 0));
    }
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = 0; y < frame->height / 2; ++y)
            std::fill_n(frame->data[plane] + size_t(y) * frame->linesize[plane], frame->width / 2,
                        uint8_t(108 + (plane == 1 ? y + index : 2 * y + 3 * index) % 40));
    }
    const int blockX = (index * 11) % (frame->width - 200);
    for (int y = frame->height / 3; y < frame->height / 3 + 200; ++y)
        std::fill_n(frame->data[0] + size_t(y) * frame->linesize[0] + blockX, 200, uint8_t(235));
}

// Feeds the open encoder frames `step` apart up to `end`, each filled by
// `fill`, and keeps what it gives in the clip. Frees the encoder and the
// frame.
template <typename Fill>
bool encodeInto(Clip &clip, AVCodecContext *codec, AVFrame *frame, int64_t end, int64_t step, Fill fill)
{
    AVPacket *packet = av_packet_alloc();
    bool ok = packet && av_frame_get_buffer(frame, 0) >= 0;
    const auto drain = [&] {
        while (avcodec_receive_packet(codec, packet) >= 0) {
            clip.packets.push_back(av_packet_clone(packet));
            av_packet_unref(packet);
        }
    };
    int64_t pts = 0;
    for (; ok && pts < end; pts += step) {
        ok = av_frame_make_writable(frame) >= 0;
        if (ok)
            fill(frame, pts);
        frame->pts = pts;
        ok = ok && avcodec_send_frame(codec, frame) >= 0;
        drain();
    }
    ok = ok && avcodec_send_frame(codec, nullptr) >= 0;
    drain();
    clip.parameters = avcodec_parameters_alloc();
    ok = ok && avcodec_parameters_from_context(clip.parameters, codec) >= 0;
    clip.timeBase = codec->time_base;
    clip.duration = pts;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    return ok;
}

bool encodeVideo(Clip &clip, const char *encoderName, int frames, int grain, AVDictionary *options)
{
    const AVCodec *encoder = avcodec_find_encoder_by_name(encoderName);
    AVCodecContext *codec = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    if (!codec)
        return false;
    codec->width = Width;
    codec->height = Height;
    codec->time_base = {1, FramesPerSecond};
    codec->framerate = {FramesPerSecond, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->gop_size = 2 * FramesPerSecond;
    codec->max_b_frames = 0;
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVFrame *frame = av_frame_alloc();
    const bool opened = avcodec_open2(codec, encoder, &options) >= 0;
    av_dict_free(&options);
    frame->format = codec->pix_fmt;
    frame->width = Width;
    frame->height = Height;
    std::mt19937 random(12345);
    return encodeInto(clip, codec, frame, opened ? frames : 0, 1, [&](AVFrame *picture, int64_t index) {
        drawFrame(picture, int(index), random, grain);
    });
}

bool encodeSound(Clip &clip, const char *encoderName, int seconds)
{
    const AVCodec *encoder = avcodec_find_encoder_by_name(encoderName);
    AVCodecContext *codec = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    if (!codec)
        return false;
    codec->sample_rate = 48000;
    codec->sample_fmt = encoder->sample_fmts[0];
    av_channel_layout_default(&codec->ch_layout, 2);
    codec->time_base = {1, codec->sample_rate};
    codec->bit_rate = 160000;
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVFrame *frame = av_frame_alloc();
    const bool opened = avcodec_open2(codec, encoder, nullptr) >= 0;
    frame->format = codec->sample_fmt;
    frame->nb_samples = codec->frame_size;
    frame->sample_rate = codec->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    // A tone, in whichever of the encoders' usual formats this one takes.
    const auto tone = [format = codec->sample_fmt](AVFrame *sound, int64_t pts) {
        for (int i = 0; i < sound->nb_samples; ++i) {
            const double value = 0.3 * std::sin(double(pts + i) * 0.05);
            for (int channel = 0; channel < 2; ++channel) {
                if (format == AV_SAMPLE_FMT_FLTP)
                    reinterpret_cast<float *>(sound->data[channel])[i] = float(value);
                else if (format == AV_SAMPLE_FMT_S16P)
                    reinterpret_cast<int16_t *>(sound->data[channel])[i] = int16_t(value * 32767);
                else if (format == AV_SAMPLE_FMT_S16)
                    reinterpret_cast<int16_t *>(sound->data[0])[2 * i + channel] = int16_t(value * 32767);
            }
        }
    };
    return encodeInto(clip, codec, frame, opened ? int64_t(seconds) * codec->sample_rate : 0,
                      codec->frame_size, tone);
}

// Writes the clips `repeats` times over, one after the other in time.
bool writeRepeated(const QString &path, const char *muxer, const std::vector<Clip *> &clips, int repeats)
{
    AVFormatContext *format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, muxer, nullptr) < 0)
        return false;
    std::vector<AVStream *> streams;
    for (const Clip *clip : clips) {
        AVStream *stream = avformat_new_stream(format, nullptr);
        avcodec_parameters_copy(stream->codecpar, clip->parameters);
        stream->codecpar->codec_tag = 0;
        stream->time_base = clip->timeBase;
        streams.push_back(stream);
    }
    bool ok = avio_open(&format->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(format, nullptr) >= 0;
    AVPacket *packet = av_packet_alloc();
    for (int repeat = 0; ok && repeat < repeats; ++repeat) {
        std::vector<size_t> next(clips.size(), 0);
        for (;;) {
            // The packet that comes first in time of all the clips'.
            int chosen = -1;
            double earliest = 0;
            for (size_t i = 0; i < clips.size(); ++i) {
                if (next[i] >= clips[i]->packets.size())
                    continue;
                const double time = clips[i]->packets[next[i]]->dts * av_q2d(clips[i]->timeBase);
                if (chosen < 0 || time < earliest) {
                    chosen = int(i);
                    earliest = time;
                }
            }
            if (chosen < 0)
                break;
            const Clip *clip = clips[size_t(chosen)];
            av_packet_ref(packet, clip->packets[next[size_t(chosen)]++]);
            packet->pts += repeat * clip->duration;
            packet->dts += repeat * clip->duration;
            packet->stream_index = chosen;
            av_packet_rescale_ts(packet, clip->timeBase, streams[size_t(chosen)]->time_base);
            if (av_interleaved_write_frame(format, packet) < 0) {
                ok = false;
                break;
            }
        }
    }
    ok = ok && av_write_trailer(format) >= 0;
    av_packet_free(&packet);
    avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

bool makeCopySource(const QString &path)
{
    Clip video;
    Clip sound;
    AVDictionary *options = nullptr;
    // A bit rate that gives about 100 MB for the 10 s.
    av_dict_set(&options, "preset", "ultrafast", 0);
    av_dict_set(&options, "qp", "4", 0);
    if (!encodeVideo(video, "libx264", ClipSeconds * FramesPerSecond, 96, options) ||
        !encodeSound(sound, "aac", ClipSeconds))
        return false;
    qint64 clipBytes = 0;
    for (const Clip *clip : {&video, &sound}) {
        for (const AVPacket *packet : clip->packets)
            clipBytes += packet->size;
    }
    const int repeats = int(std::max<qint64>(1, (CopySourceBytes + clipBytes - 1) / clipBytes));
    return writeRepeated(path, "matroska", {&video, &sound}, repeats);
}

bool makeEncodeSource(const QString &path)
{
    Clip video;
    Clip sound;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "b", "8M", 0);
    return encodeVideo(video, "mpeg4", EncodeSeconds * FramesPerSecond, 12, options) &&
           encodeSound(sound, "libmp3lame", EncodeSeconds) && writeRepeated(path, "avi", {&video, &sound}, 1);
}

QString sourceIn(const QString &folder, const char *name, bool (*make)(const QString &))
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (QFile::exists(path))
        return path;
    std::fprintf(stderr, "Making %s once...\n", qPrintable(path));
    const QString partial = path + QStringLiteral(".part");
    if (!make(partial) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        return {};
    }
    return path;
}

struct Timing
{
    double wall = -1; // seconds; negative when a run failed
    double cpu = 0;   // seconds of all threads and children
};

double cpuSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        struct rusage usage;
        getrusage(who, &usage);
        total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

// Runs each side in turn, `Rounds` times, each after the file system's
// dirty pages were written out; the best wall time of each counts, as the
// machine is shared and other work only ever slows a run down.
template <typename Ours, typename Theirs> std::pair<Timing, Timing> compare(Ours ours, Theirs theirs)
{
    constexpr int Rounds = 3;
    Timing best[2];
    for (int round = 0; round < Rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            ::sync();
            QElapsedTimer timer;
            const double cpuBefore = cpuSeconds();
            timer.start();
            if (!(side == 0 ? ours() : theirs()))
                return {};
            const Timing timing{timer.nsecsElapsed() / 1e9, cpuSeconds() - cpuBefore};
            if (best[side].wall < 0 || timing.wall < best[side].wall)
                best[side] = timing;
        }
    }
    return {best[0], best[1]};
}

bool syncFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && ::fdatasync(file.handle()) == 0;
}

bool runFfmpeg(const QString &ffmpeg, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(ffmpeg, QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
                              arguments);
    const bool ok = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    if (!ok)
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAllStandardError().constData());
    return ok;
}

template <typename Ours>
bool compareCopies(const QString &ffmpeg, const QString &copySource, Ours ours, const QString &ffmpegCopy)
{
    const double megabytes = QFile(copySource).size() / 1e6;
    std::printf("stream copy of %s (%.0f MB)\n", qPrintable(copySource), megabytes);
    // The copy is synced before it is renamed into place; ffmpeg's file is
    // synced after it, so that both have their data on the disk.
    const auto [ourCopy, theirCopy] = compare(ours(copySource), [&] {
        return runFfmpeg(ffmpeg,
                         QStringList{QStringLiteral("-i"), copySource} +
                             QStringLiteral("-map 0:v:0 -map 0:a:0 -c copy -movflags +faststart").split(' ') +
                             QStringList{ffmpegCopy}) &&
               syncFile(ffmpegCopy);
    });
    if (ourCopy.wall < 0 || theirCopy.wall < 0)
        return false;
    std::printf("  ours:          %.1f s, %.0f MB/s, %.1f s of CPU\n", ourCopy.wall, megabytes / ourCopy.wall,
                ourCopy.cpu);
    std::printf("  ffmpeg + sync: %.1f s, %.0f MB/s, %.1f s of CPU\n", theirCopy.wall,
                megabytes / theirCopy.wall, theirCopy.cpu);
    std::printf("  speed ratio:   %.2f (goal >= 0.8)\n", theirCopy.wall / ourCopy.wall);
    return true;
}

template <typename Ours>
bool compareEncodings(const QString &ffmpeg, const QString &encodeSource, Ours ours,
                      const QString &ffmpegCopy)
{
    const int frames = EncodeSeconds * FramesPerSecond;
    std::printf("encoding anew %s (%d frames of 1080p)\n", qPrintable(encodeSource), frames);
    const auto [ourEncode, theirEncode] = compare(ours(encodeSource), [&] {
        return runFfmpeg(ffmpeg,
                         QStringList{QStringLiteral("-i"), encodeSource} +
                             QStringLiteral("-map 0:v:0 -map 0:a:0 -c:v libx264 -preset veryfast -crf 23 "
                                            "-profile:v high -pix_fmt yuv420p -c:a aac -b:a 160k "
                                            "-movflags +faststart")
                                 .split(' ') +
                             QStringList{ffmpegCopy}) &&
               syncFile(ffmpegCopy);
    });
    if (ourEncode.wall < 0 || theirEncode.wall < 0)
        return false;
    std::printf("  ours:          %.1f s, %.1f frames/s, %.1f s of CPU\n", ourEncode.wall,
                frames / ourEncode.wall, ourEncode.cpu);
    std::printf("  ffmpeg + sync: %.1f s, %.1f frames/s, %.1f s of CPU\n", theirEncode.wall,
                frames / theirEncode.wall, theirEncode.cpu);
    std::printf("  speed ratio:   %.2f (goal >= 0.9)\n", theirEncode.wall / ourEncode.wall);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::printf("skipped: the ffmpeg program is not installed (apt-get install ffmpeg), and it is what "
                    "this benchmark compares with\n");
        return 0;
    }
    if (!tessaly::media::silenceVideoLibraries()) {
        std::printf("%s\n", qPrintable(tessaly::media::loadVideoLibraries()));
        return 1;
    }
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(folder);
    const QString copySource = sourceIn(folder, "copy-source-1g-h264-aac.mkv", &makeCopySource);
    const QString encodeSource = sourceIn(folder, "encode-source-20s-1080p-mpeg4-mp3.avi", &makeEncodeSource);
    if (copySource.isEmpty() || encodeSource.isEmpty()) {
        std::fprintf(stderr, "Cannot make the sources (are libx264 and libmp3lame in libavcodec?)\n");
        return 1;
    }
    const QString outputs = folder + QStringLiteral("/out");
    QDir().mkpath(outputs);
    const tessaly::files::OpenFolder out(outputs);
    const QString ffmpegCopy = outputs + QStringLiteral("/ffmpeg.mp4");
    const auto ours = [&](const QString &source) {
        return [&, source] {
            const tessaly::media::WebCopyOutcome outcome =
                tessaly::media::makeWebCopy(source, out, QStringLiteral("ours.mp4"));
            if (!outcome.made())
                std::fprintf(stderr, "failed: %s\n", qPrintable(outcome.message()));
            return outcome.made();
        };
    };

    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only != QLatin1String("encode") && !compareCopies(ffmpeg, copySource, ours, ffmpegCopy))
        return 1;
    if (only != QLatin1String("copy") && !compareEncodings(ffmpeg, encodeSource, ours, ffmpegCopy))
        return 1;
    QFile::remove(ffmpegCopy);
    static_cast<void>(out.remove("ours.mp4"));
    return 0;
}
