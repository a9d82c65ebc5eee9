#include "covers/VideoCovers.h"

#include "covers/CoverTexts.h"
#include "platform/Messages.h"
#include "site/DefaultCover.h"
#include "support/TempWorkspace.h"
#include "support/TestVideos.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::covers;
using namespace tessaly::testing;

namespace {

class VideoCovers : public ::testing::Test
{
protected:
    VideoCovers()
    {
        space.withFolders();
        EXPECT_TRUE(TestVideo().write(space.path(QStringLiteral("film.mp4"))));
    }

    // A project whose episode folder holds the given files: "film" is a
    // copy of the test video, anything else the bytes given.
    void addProject(const QString &name, const QList<std::pair<QString, QByteArray>> &episodes)
    {
        const QString folder = space.makeFolder(QStringLiteral("m/") + name);
        space.writeText(QStringLiteral("Setting/") + name + QStringLiteral(".ini"),
                        QStringLiteral("[Setting]\r\nFile=") + folder);
        for (const auto &[file, bytes] : episodes) {
            if (bytes == "film")
                QFile::copy(space.path(QStringLiteral("film.mp4")), folder + u'/' + file);
            else
                space.writeBytes(QStringLiteral("m/") + name + u'/' + file, bytes);
        }
    }
    QString episodePath(const QString &project, const QString &file) const
    {
        return space.path(QStringLiteral("m/") + project + u'/' + file);
    }
    QByteArray cover(const QString &project) const
    {
        return space.readBytes(QStringLiteral("Web/Image/") + project + QStringLiteral(".jpg"));
    }
    void setCover(const QString &project, const QByteArray &bytes) const
    {
        space.writeBytes(QStringLiteral("Web/Image/") + project + QStringLiteral(".jpg"), bytes);
    }

    TempWorkspace space;
};

} // namespace

TEST_F(VideoCovers, TheFirstEpisodeWithAVideoGivesTheCoverInTheStyleSize)
{
    space.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nLinecontent=3\r\nCoverwidth=120\r\nCoverheight= 160.4 "));
    addProject(QStringLiteral("甲"),
               {{QStringLiteral("01.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\n字幕\r\n"},
                {QStringLiteral("02.mp4"), "film"},
                {QStringLiteral("03.mp4"), "broken"}});
    setCover(QStringLiteral("甲"), "old cover");

    const VideoCover result = grabProjectCover(space.workspace(), QStringLiteral("甲"));
    ASSERT_TRUE(result.written) << result.message.toStdString();
    EXPECT_EQ(result.coverFile, space.workspace().coverFile(QStringLiteral("甲")));
    const GreyPicture picture = decodeJpeg(cover(QStringLiteral("甲")));
    EXPECT_EQ(picture.width, 120);
    EXPECT_EQ(picture.height, 160);
    EXPECT_GT(luminanceVariance(cover(QStringLiteral("甲"))), 1000);
    // Nothing is left beside the cover.
    EXPECT_EQ(QDir(space.path(QStringLiteral("Web/Image"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(VideoCovers, AnEpisodeWhoseNameIsNotUtf8GivesItsCover)
{
    addProject(QStringLiteral("甲"), {});
    // GBK "第1集.mp4"
    const QByteArray gbk = QFile::encodeName(space.path(QStringLiteral("m/甲/"))) + "\xb5\xda"
                                                                                    "1\xbc\xaf.mp4";
    ASSERT_EQ(::link(QFile::encodeName(space.path(QStringLiteral("film.mp4"))).constData(), gbk.constData()),
              0);

    const VideoCover whole = grabProjectCover(space.workspace(), QStringLiteral("甲"));
    EXPECT_TRUE(whole.written) << whole.message.toStdString();
    const VideoCover episode = grabEpisodeCover(space.workspace(), QStringLiteral("甲"),
                                                QFile::decodeName(gbk.mid(gbk.lastIndexOf('/') + 1)));
    EXPECT_TRUE(episode.written) << episode.message.toStdString();
}

// 第2集 comes before 第10集, and a poster or subtitles beside them are no
// episodes to try.
TEST_F(VideoCovers, TheFirstVideoIsTheFirstEpisodeAsOneCountsThem)
{
    TestVideo other;
    other.picture = [](int, int x, int y) { return (x / 20 + y / 20) % 2 ? 230 : 30; };
    ASSERT_TRUE(other.write(space.path(QStringLiteral("other.mp4"))));
    addProject(QStringLiteral("甲"),
               {{QStringLiteral("第10集.mp4"), space.readBytes(QStringLiteral("other.mp4"))},
                {QStringLiteral("第2集.mp4"), "film"},
                {QStringLiteral("第1集.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\n字\r\n"},
                {QStringLiteral("poster.jpg"), "not a picture"}});

    ASSERT_TRUE(
        grabEpisodeCover(space.workspace(), QStringLiteral("甲"), QStringLiteral("第10集.mp4")).written);
    const QByteArray ofTenth = cover(QStringLiteral("甲"));
    ASSERT_TRUE(
        grabEpisodeCover(space.workspace(), QStringLiteral("甲"), QStringLiteral("第2集.mp4")).written);
    const QByteArray ofSecond = cover(QStringLiteral("甲"));
    ASSERT_NE(ofTenth, ofSecond);
    setCover(QStringLiteral("甲"), "old cover");

    ASSERT_TRUE(grabProjectCover(space.workspace(), QStringLiteral("甲")).written);
    EXPECT_EQ(cover(QStringLiteral("甲")), ofSecond);
}

TEST_F(VideoCovers, CoverSizeFallsBackWhenTheStyleGivesNoUsableSize)
{
    EXPECT_EQ(coverSize(space.workspace()), (CoverSize{185, 250}));
    const QString style = QStringLiteral("Style/Style.ini");
    for (const char *values : {"Coverwidth=2001\r\nCoverheight=250", "Coverwidth=120\r\nCoverheight=15",
                               "Coverwidth=120\r\nCoverheight=abc", "Coverwidth=120"}) {
        space.writeText(style, QStringLiteral("[Setting]\r\n") + QString::fromLatin1(values));
        EXPECT_EQ(coverSize(space.workspace()), (CoverSize{185, 250})) << values;
    }
    space.writeText(style, QStringLiteral("[Setting]\r\nCoverwidth=16\r\nCoverheight=2000"));
    EXPECT_EQ(coverSize(space.workspace()), (CoverSize{16, 2000}));
}

TEST_F(VideoCovers, FailuresNameTheFileAndLeaveTheOldCover)
{
    ASSERT_TRUE(writeAudioOnly(space.path(QStringLiteral("song.wav"))));
    addProject(QStringLiteral("声"),
               {{QStringLiteral("a.wav"), space.readBytes(QStringLiteral("song.wav"))}});
    addProject(QStringLiteral("坏"), {{QStringLiteral("a.mp4"), "not a video"}});
    addProject(QStringLiteral("慢"), {{QStringLiteral("a.mp4"), "film"}});
    addProject(QStringLiteral("空"), {});
    addProject(QStringLiteral("多"),
               {{QStringLiteral("a.mkv"), "not a video"},
                {QStringLiteral("a.srt"), "1\r\n字幕\r\n"},
                {QStringLiteral("b.wav"), space.readBytes(QStringLiteral("song.wav"))}});
    const struct
    {
        QString project;
        QString message;
        GrabLimits limits;
    } cases[] = {
        {QStringLiteral("声"), Messages::withPath(episodePath("声", "a.wav"), texts::noVideoPicture()), {}},
        {QStringLiteral("坏"), Messages::withPath(episodePath("坏", "a.mp4"), texts::notAVideo()), {}},
        {QStringLiteral("慢"),
         Messages::withPath(episodePath("慢", "a.mp4"), texts::grabTimedOut()),
         {std::chrono::milliseconds(0), nullptr}},
        {QStringLiteral("空"), texts::noEpisodes(), {}},
        // Every episode tried says why it gave nothing.
        {QStringLiteral("多"),
         Messages::withPath(episodePath("多", "a.mkv"), texts::notAVideo()) + QStringLiteral("\r\n") +
             Messages::withPath(episodePath("多", "b.wav"), texts::noVideoPicture()),
         {}},
    };
    for (const auto &bad : cases) {
        SCOPED_TRACE(bad.project.toStdString());
        setCover(bad.project, "old cover");
        const VideoCover result = grabProjectCover(space.workspace(), bad.project, bad.limits);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.message, bad.message);
        EXPECT_EQ(cover(bad.project), "old cover");
    }
}

TEST_F(VideoCovers, AnEpisodeIsFoundByFileNameOrNumber)
{
    const QStringList episodes{QStringLiteral("1.mp4"), QStringLiteral("2"), QStringLiteral("c.mp4")};
    EXPECT_EQ(findEpisode(episodes, QStringLiteral("c.mp4")), QStringLiteral("c.mp4"));
    EXPECT_EQ(findEpisode(episodes, QStringLiteral("3")), QStringLiteral("c.mp4"));
    // A file named like a number is that file, not the episode of the number.
    EXPECT_EQ(findEpisode(episodes, QStringLiteral("2")), QStringLiteral("2"));
    EXPECT_EQ(findEpisode(episodes, QStringLiteral("0")), std::nullopt);
    EXPECT_EQ(findEpisode(episodes, QStringLiteral("4")), std::nullopt);

    addProject(QStringLiteral("甲"), {{QStringLiteral("a.mp4"), "film"}, {QStringLiteral("b.txt"), "text"}});
    setCover(QStringLiteral("甲"), "old cover");
    // A text file is no episode.
    EXPECT_EQ(grabEpisodeCover(space.workspace(), QStringLiteral("甲"), QStringLiteral("b.txt")).message,
              Messages::withPath(episodePath("甲", "b.txt"), texts::noSuchEpisode()));
    EXPECT_EQ(grabEpisodeCover(space.workspace(), QStringLiteral("甲"), QStringLiteral("../x.mp4")).message,
              Messages::withPath(episodePath("甲", "../x.mp4"), texts::noSuchEpisode()));
    EXPECT_EQ(cover(QStringLiteral("甲")), "old cover");
    EXPECT_TRUE(grabEpisodeCover(space.workspace(), QStringLiteral("甲"), QStringLiteral("a.mp4")).written);
}

TEST_F(VideoCovers, TheBatchTakesCoversOnlyWhereTheCoverIsMissingOrBuiltIn)
{
    for (const char *name : {"无", "默认", "旧默认", "自有"})
        addProject(QString::fromUtf8(name), {{QStringLiteral("a.mp4"), "film"}});
    addProject(QStringLiteral("空"), {});
    setCover(QStringLiteral("默认"), defaultCoverBytes());
    QFile earlier(QStringLiteral(TESSALY_TESTS_FOLDER "/site/data/EarlierDefaultCover.jpg"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    setCover(QStringLiteral("旧默认"), earlier.readAll());
    setCover(QStringLiteral("自有"), "own cover");

    ProgressLines lines;
    MissingCoversRun run(space.workspace(), {"无", "自有", "默认", "旧默认", "空", "a/b"}, lines);
    run.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
    const RunOutcome outcome = run.run();

    const QString failure = texts::cannotGrabCover(space.path(QStringLiteral("m/空")), texts::noEpisodes());
    const QStringList expected{texts::grabbingCover("无"),
                               texts::grabbingCover("默认"),
                               texts::grabbingCover("旧默认"),
                               texts::grabbingCover("空"),
                               failure,
                               QStringLiteral("无法使用的项目名称: a/b"),
                               QStringLiteral("截取封面完成,共 2 个错误!")};
    EXPECT_EQ(lines.texts(), expected);
    EXPECT_EQ(lines.lines().last().icon, ProgressIcon::Failure);
    EXPECT_EQ(outcome.errors, 2);
    ASSERT_TRUE(outcome.box);
    EXPECT_EQ(outcome.box->text, expected.last());
    EXPECT_EQ(outcome.box->icon, MessageIcon::Error);
    EXPECT_EQ(cover(QStringLiteral("自有")), "own cover");
    EXPECT_TRUE(cover(QStringLiteral("无")).startsWith("\xFF\xD8"));
    EXPECT_NE(cover(QStringLiteral("默认")), defaultCoverBytes());
    EXPECT_FALSE(isBuiltinDefaultCover(cover(QStringLiteral("旧默认"))));
    EXPECT_TRUE(space.exists(QStringLiteral("Log/20260102030405.log")));
}

TEST_F(VideoCovers, AnEpisodeFolderHoldingAControlCharacterIsNotRead)
{
    addProject(QStringLiteral("零"), {{QStringLiteral("a.mp4"), "film"}});
    const QString hostile = space.path(QStringLiteral("m/零")) + QChar(u'\0') + QStringLiteral("/../x");
    space.writeText(QStringLiteral("Setting/零.ini"), QStringLiteral("[Setting]\r\nFile=") + hostile);
    setCover(QStringLiteral("零"), "old cover");
    const VideoCover result = grabProjectCover(space.workspace(), QStringLiteral("零"));
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, QStringLiteral("无法使用的剧集文件夹: ") + hostile);
    EXPECT_EQ(cover(QStringLiteral("零")), "old cover");
}
