#include "media/WebCopy.h"

#include "files/OpenFolder.h"
#include "files/Reasons.h"
#include "media/Verdict.h"
#include "support/FullDisk.h"
#include "support/TestVideos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tessaly::media;
using tessaly::files::OpenFolder;
using tessaly::testing::MediaSample;

namespace {

MediaFacts facts(const char *family, const char *video, QStringList audio, int bitDepth = 8)
{
    MediaFacts made;
    made.readable = true;
    made.family = QString::fromLatin1(family);
    made.container = made.family == QLatin1String("mp4") ? QStringLiteral("mov") : made.family;
    made.videoCodec = QString::fromLatin1(video);
    made.bitDepth = video[0] ? bitDepth : 0;
    made.chromaWidthShift = made.chromaHeightShift = video[0] ? 1 : 0;
    made.width = 1280;
    made.height = 720;
    made.seconds = 600;
    made.audioCodecs = std::move(audio);
    return made;
}

TEST(WebCopyPlan, CopiesWhatPlaysInMp4AndMakesAnewOnlyWhatDoesNot)
{
    const QStringList aac{QStringLiteral("aac")};
    MediaFacts indexAtEnd = facts("mp4", "h264", aac);
    indexAtEnd.indexAtEnd = true;
    // The first sound stream alone goes into the copy.
    const MediaFacts secondSoundAc3 = facts("mkv", "h264", {QStringLiteral("aac"), QStringLiteral("ac3")});
    const struct
    {
        MediaFacts facts;
        WebCopyKind kind;
    } rows[] = {
        {facts("mp4", "h264", aac), WebCopyKind::NotNeeded},
        {facts("mkv", "h264", aac), WebCopyKind::StreamCopy},
        {facts("mpegts", "h264", {QStringLiteral("mp3")}), WebCopyKind::StreamCopy},
        {indexAtEnd, WebCopyKind::StreamCopy},
        {secondSoundAc3, WebCopyKind::StreamCopy},
        {facts("mkv", "h264", {QStringLiteral("ac3")}), WebCopyKind::NewSound},
        {facts("mp4", "h264", {QStringLiteral("opus")}), WebCopyKind::NewSound},
        {facts("asf", "", {QStringLiteral("wmav2")}), WebCopyKind::NewSound},
        {facts("avi", "mpeg4", {QStringLiteral("mp3")}), WebCopyKind::Everything},
        {facts("mkv", "hevc", aac), WebCopyKind::Everything},
        {facts("mp4", "h264", aac, 10), WebCopyKind::Everything},
        {facts("h264", "h264", {}), WebCopyKind::Everything},
        {MediaFacts{}, WebCopyKind::Impossible},
    };
    WebCopySummary summary;
    for (const auto &row : rows) {
        const WebCopyPlan plan = planWebCopy(row.facts, 1'000'000'000);
        EXPECT_EQ(int(plan.kind), int(row.kind))
            << row.facts.family.toStdString() << " " << row.facts.videoCodec.toStdString();
        summary.add(plan);
    }
    EXPECT_EQ(summary.streamCopies, 4);
    EXPECT_EQ(summary.newSound, 3);
    EXPECT_EQ(summary.everything, 4);
    EXPECT_TRUE(summary.text().startsWith(QStringLiteral("4 个直接转存, 3 个转换音频, 4 个重新编码 (约 ")));
    // Ten minutes of 720p made anew come to some hundreds of megabytes,
    // and take longer than copying a gigabyte.
    const WebCopyPlan encoded = planWebCopy(facts("avi", "mpeg4", {}), 1'000'000'000);
    EXPECT_GT(encoded.estimatedBytes, 100'000'000);
    EXPECT_LT(encoded.estimatedBytes, 1'000'000'000);
    EXPECT_GT(encoded.estimatedSeconds,
              planWebCopy(facts("mkv", "h264", aac), 1'000'000'000).estimatedSeconds);
}

TEST(WebCopyPlan, PictureIsKeptWithinFullHdEvenAndInShape)
{
    EXPECT_EQ(webCopyPictureSize({1920, 1080}), QSize(1920, 1080));
    EXPECT_EQ(webCopyPictureSize({721, 481}), QSize(720, 480));
    EXPECT_EQ(webCopyPictureSize({3840, 2160}), QSize(1920, 1080));
    EXPECT_EQ(webCopyPictureSize({2160, 3840}), QSize(1080, 1920));
    EXPECT_EQ(webCopyPictureSize({4000, 1000}), QSize(1920, 480));
    EXPECT_EQ(webCopyPictureSize({1440, 1440}), QSize(1080, 1080));
}

class WebCopyMaking : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sources.isValid() && site.isValid()); }

    QString sample(const char *name, MediaSample made)
    {
        const QString path = sources.filePath(QString::fromLatin1(name));
        QString error;
        EXPECT_TRUE(made.write(path, &error)) << error.toStdString();
        return path;
    }

    static MediaSample of(const char *muxer, const char *video, const char *audio)
    {
        MediaSample made;
        made.muxer = muxer;
        made.videoEncoder = video;
        made.audioEncoder = audio;
        return made;
    }

    WebCopyOutcome copy(const QString &source, const std::function<bool()> &stopped = {})
    {
        const OpenFolder folder(site.path());
        return makeWebCopy(source, folder, QStringLiteral("网页版.mp4"), stopped,
                           [this](double share) { progress.append(share); });
    }

    QString copyPath() const { return site.filePath(QStringLiteral("网页版.mp4")); }
    QStringList siteFiles() const { return QDir(site.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir sources;
    QTemporaryDir site;
    QList<double> progress;
};

// Each way of making a copy gives one that browsers play, index in front,
// with the codecs browsers take.
TEST_F(WebCopyMaking, EachKindGivesACopyThatPlays)
{
    MediaSample indexAtEnd;
    indexAtEnd.indexFirst = false;
    MediaSample deep;
    deep.pixelFormat = "yuv420p10le";
    const struct
    {
        const char *file;
        MediaSample sample;
        WebCopyKind kind;
    } rows[] = {
        {"a.mkv", of("matroska", "libx264", "aac"), WebCopyKind::StreamCopy},
        {"a.ts", of("mpegts", "libx264", "aac"), WebCopyKind::StreamCopy},
        {"a.flv", of("flv", "libx264", "aac"), WebCopyKind::StreamCopy},
        {"b.mp4", indexAtEnd, WebCopyKind::StreamCopy},
        {"c.mkv", of("matroska", "libx264", "ac3"), WebCopyKind::NewSound},
        {"d.avi", of("avi", "mpeg4", "libmp3lame"), WebCopyKind::Everything},
        {"e.mp4", deep, WebCopyKind::Everything},
        {"f.wma", of("asf", nullptr, "wmav2"), WebCopyKind::NewSound},
    };
    for (const auto &row : rows) {
        const QString source = sample(row.file, row.sample);
        progress.clear();
        const WebCopyOutcome outcome = copy(source);
        ASSERT_TRUE(outcome.made()) << row.file << ": " << outcome.message().toStdString();
        EXPECT_EQ(int(outcome.kind), int(row.kind)) << row.file;
        EXPECT_EQ(outcome.path, copyPath());
        const MediaFacts made = probeEpisode(copyPath());
        EXPECT_EQ(verdictFor(made).playability, Playability::Plays) << row.file;
        EXPECT_EQ(made.videoCodec, QLatin1String(row.sample.videoEncoder ? "h264" : "")) << row.file;
        EXPECT_EQ(made.audioCodecs, QStringList{QStringLiteral("aac")}) << row.file;
        EXPECT_NEAR(made.seconds.value_or(0), 1.0, 0.2) << row.file;
        ASSERT_FALSE(progress.isEmpty()) << row.file;
        EXPECT_GT(progress.last(), 0.5) << row.file;
        EXPECT_EQ(siteFiles(), QStringList{QStringLiteral("网页版.mp4")}) << row.file;
    }
}

// A phone video's picture is stored turned as players show it, since the
// copy's encoder keeps no turn of its own.
TEST_F(WebCopyMaking, TurnedPictureIsStoredAsShown)
{
    tessaly::testing::TestVideo phone;
    phone.width = 64;
    phone.height = 48;
    phone.seconds = 1;
    phone.framesPerSecond = 10;
    phone.displayTurn = 90;
    const QString source = sources.filePath(QStringLiteral("phone.mp4"));
    ASSERT_TRUE(phone.write(source));
    const WebCopyOutcome outcome = copy(source);
    ASSERT_TRUE(outcome.made()) << outcome.message().toStdString();
    EXPECT_EQ(outcome.kind, WebCopyKind::Everything);
    const MediaFacts made = probeEpisode(copyPath());
    EXPECT_EQ(QSize(made.width, made.height), QSize(48, 64));
}

// Pictures stored out of the order they are shown in (B-frames) are shown
// at their own times in the copy: MKV tells them and they are copied, AVI
// does not and they are made anew.
TEST_F(WebCopyMaking, FramesStoredOutOfOrderKeepTheirTimes)
{
    const struct
    {
        const char *file;
        const char *muxer;
        WebCopyKind kind;
    } rows[] = {{"b.mkv", "matroska", WebCopyKind::StreamCopy}, {"b.avi", "avi", WebCopyKind::Everything}};
    for (const auto &row : rows) {
        MediaSample reordered = of(row.muxer, "libx264", "aac");
        reordered.reordered = true;
        const WebCopyOutcome outcome = copy(sample(row.file, reordered));
        ASSERT_TRUE(outcome.made()) << outcome.message().toStdString();
        EXPECT_EQ(outcome.kind, row.kind) << row.file;
        std::vector<int64_t> times = tessaly::testing::videoPresentationTimes(copyPath());
        std::sort(times.begin(), times.end());
        const int64_t first = times.empty() ? 0 : times.front();
        for (int64_t &time : times)
            time -= first;
        EXPECT_EQ(times, (std::vector<int64_t>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900})) << row.file;
    }
}

TEST_F(WebCopyMaking, ACopyIsStaleOnceItsOriginalChanges)
{
    const QString source = sample("a.mkv", of("matroska", "libx264", "aac"));
    ASSERT_TRUE(copy(source).made());
    EXPECT_TRUE(isUpToDate(copyPath(), source));

    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(source).constData(), &status), 0);
    const struct timespec times[2] = {status.st_atim, {status.st_mtim.tv_sec - 60, status.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);
    EXPECT_FALSE(isUpToDate(copyPath(), source));
    EXPECT_FALSE(isUpToDate(copyPath(), sources.filePath(QStringLiteral("gone.mkv"))));
    EXPECT_FALSE(isUpToDate(source, source)); // not a copy at all
}

// A stop or a failure leaves the folder as it was: a copy made before
// under the name stays whole, and nothing is left beside it.
TEST_F(WebCopyMaking, StopsAndFailuresLeaveNoPartialFile)
{
    const QString source = sample("a.mkv", of("matroska", "libx264", "aac"));
    ASSERT_TRUE(copy(source).made());
    const QByteArray before =
        OpenFolder(site.path()).readFile(QFile::encodeName(QStringLiteral("网页版.mp4"))).value();
    const auto unchanged = [&] {
        return OpenFolder(site.path())
                   .holdsSameBytes(QFile::encodeName(QStringLiteral("网页版.mp4")), before) &&
               siteFiles() == QStringList{QStringLiteral("网页版.mp4")};
    };

    const WebCopyOutcome stopped = copy(source, [this] { return !progress.isEmpty(); });
    EXPECT_EQ(stopped.status, WebCopyOutcome::Status::Stopped);
    EXPECT_EQ(stopped.reason, QStringLiteral("制作已停止"));
    EXPECT_TRUE(unchanged());

    // A playlist names other files: it is no episode, and nothing it
    // names is read.
    const QString playlist = sources.filePath(QStringLiteral("list.mkv"));
    QFile list(playlist);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("#EXTM3U\n#EXTINF:1,\na.mkv\n");
    list.close();
    const WebCopyOutcome refused = copy(playlist);
    EXPECT_EQ(refused.status, WebCopyOutcome::Status::Failed);
    EXPECT_EQ(refused.message(), playlist + QStringLiteral(": 不是视频文件或文件已损坏"));
    EXPECT_TRUE(unchanged());

    // Writes beyond half the copy fail as on a full disk.
    const int child = tessaly::testing::inChildWithFileSizeLimit(before.size() / 2, [&] {
        const WebCopyOutcome full = copy(source);
        return full.status == WebCopyOutcome::Status::Failed && full.path == copyPath() &&
                       full.reason == tessaly::files::reasonFor(EFBIG)
                   ? 0
                   : 1;
    });
    EXPECT_EQ(child, 0);
    EXPECT_TRUE(unchanged());
}

TEST(WebCopySpace, ShortageIsSaidWithTheFolder)
{
    QTemporaryDir site;
    const OpenFolder folder(site.path());
    EXPECT_EQ(spaceShortage(folder, 1), QString());
    const QString shortage = spaceShortage(folder, qint64(1) << 60);
    EXPECT_TRUE(shortage.startsWith(site.path() + QStringLiteral(": 磁盘空间不足 (需要约 ")))
        << shortage.toStdString();
}

} // namespace
