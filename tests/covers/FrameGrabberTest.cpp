#include "covers/FrameGrabber.h"

#include "covers/CoverTexts.h"
#include "support/AddressSpace.h"
#include "support/TestVideos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tessaly::covers;
using namespace tessaly::testing;
using Failure = FrameGrab::Failure;

namespace {

// A checkerboard cover has a spread of thousands; a black one has none.
constexpr double TexturedVariance = 1000;

int checkerboard(int, int x, int y)
{
    return ((x / 8 + y / 8) % 2) ? 230 : 20;
}

class FrameGrabber : public ::testing::Test
{
protected:
    QString made(const QString &name, const TestVideo &video = TestVideo())
    {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(video.write(path, &error)) << error.toStdString();
        return path;
    }

    QString withBytes(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static GreyPicture picture(const FrameGrab &grab) { return decodeJpeg(grab.jpeg); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FrameGrabber, TakesTheCoverFromTheTexturedStretchOfEitherKindOfFile)
{
    TestVideo avi;
    avi.kind = TestVideo::Kind::MjpegInAvi;
    for (const QString &path : {made("film.mp4"), made("film.avi", avi)}) {
        SCOPED_TRACE(path.toStdString());
        const FrameGrab grab = grabCoverFrame(path, CoverSize{185, 250});
        ASSERT_TRUE(grab.ok()) << grab.reason().toStdString();
        ASSERT_TRUE(grab.jpeg.startsWith("\xFF\xD8"));
        const GreyPicture cover = picture(grab);
        EXPECT_EQ(cover.width, 185);
        EXPECT_EQ(cover.height, 250);
        EXPECT_GT(luminanceVariance(grab.jpeg), TexturedVariance);
    }
}

TEST_F(FrameGrabber, AClipShorterThanTheFirstCandidateGivesItsFirstFrame)
{
    TestVideo clip;
    clip.seconds = 1;
    clip.picture = checkerboard;
    const FrameGrab grab = grabCoverFrame(made("clip.mp4", clip), CoverSize{});
    ASSERT_TRUE(grab.ok()) << grab.reason().toStdString();
    EXPECT_GT(luminanceVariance(grab.jpeg), TexturedVariance);
}

TEST_F(FrameGrabber, ShowsTheFrameAsAPlayerWould)
{
    // A phone video: stored landscape with its upper half white, turned a
    // quarter clockwise for display, so the white half shows on the right.
    TestVideo phone;
    phone.picture = [](int, int, int y) { return y < 120 ? 255 : 0; };
    phone.displayTurn = 90;
    const GreyPicture upright = picture(grabCoverFrame(made("phone.mp4", phone), CoverSize{}));
    ASSERT_FALSE(upright.isNull());
    EXPECT_GT(upright.brightnessAt(90, 50), 200);
    EXPECT_LT(upright.brightnessAt(10, 50), 50);

    // Pixels twice as tall as wide: the white middle half of the stored
    // width is a narrow upright frame, shown whole with its black sides.
    TestVideo tallPixels;
    tallPixels.picture = [](int, int x, int) { return x >= 80 && x < 240 ? 255 : 0; };
    tallPixels.sampleAspectNumerator = 1;
    tallPixels.sampleAspectDenominator = 2;
    const GreyPicture narrow = picture(grabCoverFrame(made("tall.mp4", tallPixels), CoverSize{}));
    ASSERT_FALSE(narrow.isNull());
    EXPECT_LT(narrow.brightnessAt(15, 50), 50);
    EXPECT_GT(narrow.brightnessAt(50, 50), 200);
}

TEST_F(FrameGrabber, BadInputsSayWhy)
{
    QFile::copy(made("full.mp4"), dir.filePath("truncated.mp4"));
    QFile truncated(dir.filePath("truncated.mp4"));
    ASSERT_TRUE(truncated.resize(truncated.size() / 2));

    TestVideo avi;
    avi.kind = TestVideo::Kind::MjpegInAvi;
    QFile aviFile(made("unknown.avi", avi));
    ASSERT_TRUE(aviFile.open(QIODevice::ReadOnly));
    QByteArray aviBytes = aviFile.readAll();
    ASSERT_GT(aviBytes.count("MJPG"), 0);
    aviBytes.replace("MJPG", "QZ9X");
    ASSERT_TRUE(writeAudioOnly(dir.filePath("song.wav")));
    const FrameGrab poster = grabCoverFrame(dir.filePath("full.mp4"), CoverSize{});
    ASSERT_TRUE(poster.ok());
    // A pipe, as such and behind a link, would block the reader for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.mp4")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("pipe.mp4"), dir.filePath("linked.mp4")));

    const struct
    {
        QString path;
        Failure failure;
        QString reason;
    } cases[] = {
        {withBytes("notes.mp4", "第一集的字幕\r\n"), Failure::NotAVideo, texts::notAVideo()},
        {dir.filePath("truncated.mp4"), Failure::NotAVideo, texts::notAVideo()},
        {withBytes("empty.mp4", {}), Failure::NotAVideo, texts::notAVideo()},
        {dir.path(), Failure::NotAVideo, texts::notAVideo()},
        {dir.filePath("missing.mp4"), Failure::NotAVideo, texts::notAVideo()},
        {dir.filePath("pipe.mp4"), Failure::NotAVideo, texts::notAVideo()},
        {dir.filePath("linked.mp4"), Failure::NotAVideo, texts::notAVideo()},
        {dir.filePath("song.wav"), Failure::NoVideoPicture, texts::noVideoPicture()},
        {withBytes("poster.jpg", poster.jpeg), Failure::NoVideoPicture, texts::noVideoPicture()},
        {withBytes("unknown.avi", aviBytes), Failure::MissingDecoder, texts::missingDecoder()},
    };
    for (const auto &bad : cases) {
        SCOPED_TRACE(bad.path.toStdString());
        const FrameGrab grab = grabCoverFrame(bad.path, CoverSize{});
        EXPECT_EQ(grab.failure, bad.failure);
        EXPECT_EQ(grab.reason(), bad.reason);
        EXPECT_TRUE(grab.jpeg.isEmpty());
    }
}

TEST_F(FrameGrabber, GivesUpWhenTheTimeIsUpOrTheCallerCancels)
{
    const QString film = made("film.mp4");
    GrabLimits noTime;
    noTime.timeLimit = std::chrono::milliseconds(0);
    const FrameGrab late = grabCoverFrame(film, CoverSize{}, noTime);
    EXPECT_EQ(late.failure, Failure::TimedOut);
    EXPECT_EQ(late.reason(), texts::grabTimedOut());

    const std::atomic<bool> cancelled{true};
    GrabLimits cancelling;
    cancelling.cancelled = &cancelled;
    EXPECT_EQ(grabCoverFrame(film, CoverSize{}, cancelling).failure, Failure::Cancelled);
}

TEST_F(FrameGrabber, AVideoWithOneDecodableFrameGivesACover)
{
    TestVideo broadcast;
    broadcast.kind = TestVideo::Kind::H264InMpegTs;
    broadcast.seconds = 3;
    broadcast.keyframeSeconds = 3;
    broadcast.picture = checkerboard;
    TestVideo camera;
    camera.kind = TestVideo::Kind::RawH264;
    camera.seconds = 2;
    camera.picture = checkerboard;
    for (const QString &path : {made("one keyframe.ts", broadcast), made("camera.h264", camera)}) {
        SCOPED_TRACE(path.toStdString());
        const FrameGrab grab = grabCoverFrame(path, CoverSize{});
        ASSERT_TRUE(grab.ok()) << grab.reason().toStdString();
        EXPECT_GT(luminanceVariance(grab.jpeg), TexturedVariance);
    }
}

TEST_F(FrameGrabber, APlaylistDoesNotReadTheVideosItNames)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("private"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("show/season"));
    TestVideo holiday;
    holiday.kind = TestVideo::Kind::H264InMpegTs;
    holiday.picture = checkerboard;
    const QString privateVideo = made("private/holiday.ts", holiday);
    ASSERT_TRUE(grabCoverFrame(privateVideo, CoverSize{}).ok());

    for (const QString &entry : {privateVideo, QStringLiteral("../../private/holiday.ts")}) {
        SCOPED_TRACE(entry.toStdString());
        const QString playlist =
            withBytes("show/season/list.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n"
                                               "#EXTINF:10,\n" +
                                                   QFile::encodeName(entry) + "\n#EXT-X-ENDLIST\n");
        const FrameGrab grab = grabCoverFrame(playlist, CoverSize{});
        EXPECT_EQ(grab.failure, Failure::NotAVideo);
        EXPECT_EQ(grab.reason(), texts::notAVideo());
        EXPECT_TRUE(grab.jpeg.isEmpty());
    }
}

TEST_F(FrameGrabber, AFrameTooLargeToDecodeSaysItsSize)
{
    TestVideo huge;
    huge.kind = TestVideo::Kind::MjpegInAvi;
    huge.width = 8192;
    huge.height = 8192;
    huge.seconds = 1;
    huge.framesPerSecond = 1;
    huge.picture = [](int, int, int) { return 0; };
    const FrameGrab grab = grabCoverFrame(made("huge.avi", huge), CoverSize{});
    EXPECT_EQ(grab.failure, Failure::PictureTooLarge);
    EXPECT_EQ(grab.reason(), QStringLiteral("视频画面过大 (8192×8192)"));
}

TEST_F(FrameGrabber, AStreamPaddedWithZerosGivesItsFirstFrameInLittleMemory)
{
    // A few seconds of video and then zeros, as a preallocated download
    // leaves it; the zeros cost no disk.
    TestVideo download;
    download.kind = TestVideo::Kind::RawH264;
    download.seconds = 2;
    download.picture = checkerboard;
    const QString path = made("download.h264", download);
    QFile file(path);
    ASSERT_TRUE(file.resize(qint64(2) << 30));

    const int result = runWithAddressSpaceLimit(std::size_t(160) << 20, [&] {
        const FrameGrab grab = grabCoverFrame(path, CoverSize{});
        if (!grab.ok())
            return 1 + int(grab.failure);
        return luminanceVariance(grab.jpeg) > TexturedVariance ? 0 : 100;
    });
    EXPECT_EQ(result, 0);
}
