// Times taking a cover from a long video: 10 minutes of noisy, moving
// 1080p H.264 at 25 fps with a keyframe every 10 s. The video is made once
// (a few minutes) and kept beside the benchmark in `bench-data/`. Each
// measurement runs in a child process, so its peak memory is the grab's
// alone and not the encoder's.
//
//   cover_grab_bench [VIDEO]   (another video may be given instead)
#include "covers/FrameGrabber.h"
#include "media/VideoLibraries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

using namespace tessaly::covers;

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr int FramesPerSecond = 25;
constexpr int Seconds = 600;
constexpr int KeyframeEvery = 10 * FramesPerSecond;
constexpr int Grabs = 5;

// Writes the video; false when the libraries refuse (no H.264 encoder, say).
bool makeVideo(const QString &path)
{
    const AVCodec *encoder = avcodec_find_encoder_by_name("libx264");
    AVFormatContext *format = nullptr;
    if (!encoder || avformat_alloc_output_context2(&format, nullptr, "mp4", nullptr) < 0)
        return false;
    AVStream *stream = avformat_new_stream(format, nullptr);
    AVCodecContext *codec = avcodec_alloc_context3(encoder);
    codec->width = Width;
    codec->height = Height;
    codec->time_base = {1, FramesPerSecond};
    codec->framerate = {FramesPerSecond, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->gop_size = KeyframeEvery;
    codec->keyint_min = KeyframeEvery;
    codec->bit_rate = 4000000;
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(codec->priv_data, "preset", "ultrafast", 0);
    av_opt_set(codec->priv_data, "x264-params", "scenecut=0", 0);
    bool ok = avcodec_open2(codec, encoder, nullptr) >= 0 &&
              avcodec_parameters_from_context(stream->codecpar, codec) >= 0;
    stream->time_base = codec->time_base;
    ok = ok && avio_open(&format->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE) >= 0 &&
         avformat_write_header(format, nullptr) >= 0;

    // Noise is drawn once into a field larger than a frame; each frame shows
    // another window of it, with a bright block sweeping across.
    const int fieldWidth = Width + 509;
    const int fieldHeight = Height + 263;
    std::vector<uint8_t> field(size_t(fieldWidth) * fieldHeight);
    std::mt19937 random(12345);
    for (uint8_t &value : field)
        value = uint8_t(40 + random() % 160);

    AVFrame *frame = av_frame_alloc();
    AVPacket *packet = av_packet_alloc();
    frame->format = codec->pix_fmt;
    frame->width = Width;
    frame->height = Height;
    ok = ok && av_frame_get_buffer(frame, 0) >= 0;
    const auto drain = [&] {
        while (avcodec_receive_packet(codec, packet) >= 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                return false;
        }
        return true;
    };
    for (int index = 0; ok && index < Seconds * FramesPerSecond; ++index) {
        ok = av_frame_make_writable(frame) >= 0;
        const int dx = (index * 7) % (fieldWidth - Width);
        const int dy = (index * 3) % (fieldHeight - Height);
        for (int plane = 0; ok && plane < 3; ++plane) {
            const int shift = plane == 0 ? 0 : 1;
            for (int y = 0; y < Height >> shift; ++y)
                std::copy_n(&field[size_t(y + dy + plane * 17) * fieldWidth + dx], Width >> shift,
                            frame->data[plane] + size_t(y) * frame->linesize[plane]);
        }
        const int blockX = (index * 11) % (Width - 200);
        for (int y = 400; y < 600; ++y)
            std::fill_n(frame->data[0] + size_t(y) * frame->linesize[0] + blockX, 200, uint8_t(235));
        frame->pts = index;
        ok = ok && avcodec_send_frame(codec, frame) >= 0 && drain();
        if (index % (60 * FramesPerSecond) == 0)
            std::fprintf(stderr, "  making the video: minute %d of %d\n", index / (60 * FramesPerSecond) + 1,
                         Seconds / 60);
    }
    ok = ok && avcodec_send_frame(codec, nullptr) >= 0 && drain() && av_write_trailer(format) >= 0;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

// Runs `work` in a child process and waits for it; false when it failed.
template <typename Work> bool inChild(Work work, struct rusage *usage = nullptr)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        const bool done = work();
        std::fflush(stdout);
        _exit(done ? 0 : 1);
    }
    int status = 0;
    struct rusage ignored;
    return child > 0 && wait4(child, &status, 0, usage ? usage : &ignored) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

long peakKilobytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    tessaly::media::silenceVideoLibraries();
    QString video = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (video.isEmpty()) {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
        QDir().mkpath(folder);
        video = folder + QStringLiteral("/noisy-1080p-10min-h264.mp4");
        if (!QFile::exists(video)) {
            std::fprintf(stderr, "Making %s once (several minutes)...\n", qPrintable(video));
            const QString partial = video + QStringLiteral(".part");
            if (!inChild([&] { return makeVideo(partial); }) || !QFile::rename(partial, video)) {
                QFile::remove(partial);
                std::fprintf(stderr, "Cannot make the video (is libx264 in libavcodec?)\n");
                return 1;
            }
        }
    }
    std::printf("video: %s (%.0f MB)\n", qPrintable(video), QFile(video).size() / 1e6);

    struct rusage usage;
    const bool ok = inChild(
        [&] {
            const long before = peakKilobytes();
            std::vector<qint64> times;
            for (int i = 0; i < Grabs; ++i) {
                QElapsedTimer timer;
                timer.start();
                const FrameGrab grab = grabCoverFrame(video, CoverSize{});
                times.push_back(timer.elapsed());
                if (!grab.ok()) {
                    std::printf("grab failed: %s\n", qPrintable(grab.reason()));
                    return false;
                }
            }
            std::sort(times.begin(), times.end());
            std::printf("grab time: median %lld ms, slowest %lld ms over %d grabs (goal < 500 ms)\n",
                        static_cast<long long>(times[times.size() / 2]), static_cast<long long>(times.back()),
                        Grabs);
            std::printf("peak memory before the grabs: %ld MB\n", before / 1024);
            return true;
        },
        &usage);
    if (!ok)
        return 1;
    std::printf("peak memory with the grabs: %ld MB (goal: grab alone < 100 MB)\n", usage.ru_maxrss / 1024);
    return 0;
}
