// Times the check of the videos on episodes it has never seen: EPISODES tiny
// real videos of five kinds (MP4, Matroska, WebM, AVI, MPEG-TS), made here
// with the video libraries, probed through a cache that starts empty and is
// saved at the end, against Debian's `ffprobe -show_format -show_streams`
// run once per file on the same files (only as the comparison; skipped when
// it is not installed). The video libraries are loaded before the clock
// starts, as a window has them once its first episode is checked.
//
//   video_probe_bench [EPISODES [ROUNDS]]   (default 500, 5)

#include "media/EpisodeCheck.h"
#include "media/FactsCache.h"
#include "media/VideoLibraries.h"
#include "support/TestVideos.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tessaly;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

testing::MediaSample sample(const char *muxer, const char *video, const char *audio)
{
    testing::MediaSample made;
    made.muxer = muxer;
    made.videoEncoder = video;
    made.audioEncoder = audio;
    return made;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int episodeCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    QTemporaryDir temp;
    const struct
    {
        const char *extension;
        testing::MediaSample sample;
    } kinds[] = {
        {"mp4", sample("mp4", "libx264", "aac")},        {"mkv", sample("matroska", "libx264", "aac")},
        {"webm", sample("webm", "libvpx", "libvorbis")}, {"avi", sample("avi", "mpeg4", "libmp3lame")},
        {"ts", sample("mpegts", "libx264", "aac")},
    };
    QStringList samples;
    for (const auto &kind : kinds) {
        const QString path = temp.filePath(QStringLiteral("sample.") + QLatin1String(kind.extension));
        QString error;
        if (!kind.sample.write(path, &error)) {
            std::fprintf(stderr, "cannot make %s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
        samples.append(path);
    }
    const QString folder = temp.filePath(QStringLiteral("episodes"));
    QDir().mkpath(folder);
    QStringList episodes;
    for (int i = 0; i < episodeCount; ++i) {
        const QString &source = samples.at(i % samples.size());
        const QString episode =
            folder + QStringLiteral("/%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(QFileInfo(source).suffix());
        QFile::copy(source, episode);
        episodes.append(episode);
    }
    const QString libraries = media::loadVideoLibraries();
    if (!libraries.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(libraries));
        return 1;
    }

    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        media::FactsCache cache(temp.filePath(QStringLiteral("cache%1.json").arg(round)));
        for (const QString &episode : episodes)
            cache.check(episode);
        static_cast<void>(cache.save());
        ours.push_back(double(timer.nsecsElapsed()) / 1e6);

        if (ffprobe.isEmpty())
            continue;
        timer.restart();
        for (const QString &episode : episodes) {
            QProcess probe;
            probe.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"),
                                  QStringLiteral("-show_format"), QStringLiteral("-show_streams"), episode});
            probe.waitForFinished(-1);
            probe.readAllStandardOutput();
        }
        theirs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%d episodes of 5 kinds, cold cache, median of %d rounds\n", episodeCount, rounds);
    std::printf("check of the videos (in process) %10.1f ms   %.2f ms an episode\n", median(ours),
                median(ours) / episodeCount);
    if (theirs.empty()) {
        std::printf("ffprobe: not installed, no comparison (apt-get install ffmpeg)\n");
        return 0;
    }
    std::printf("ffprobe, one run per file        %10.1f ms   %.2f ms an episode\n", median(theirs),
                median(theirs) / episodeCount);
    std::printf("ratio ours / ffprobe             %10.2f   (goal < 1)\n", median(ours) / median(theirs));
    return 0;
}
