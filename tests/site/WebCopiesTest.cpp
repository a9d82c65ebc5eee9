#include "files/OpenFolder.h"
#include "media/WebCopy.h"
#include "site/PublishedRecord.h"
#include "site/SiteFixture.h"
#include "site/WebCopyConversion.h"
#include "site/WebCopyPlaces.h"
#include "support/FullDisk.h"
#include "support/TestVideos.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class WebCopies : public SiteTest
{
protected:
    // The movie root `m`, the site folder `site`, publishing on and the
    // check of the videos as `checkVideos` says.
    void siteSettings(bool checkVideos = false)
    {
        site = space.makeFolder(QStringLiteral("site"));
        space.writeText(QStringLiteral("Setting/Setting.ini"),
                        QStringLiteral("[Setting]\r\nWebUpdate=True\r\nMovieFile=%1\r\nWebFile=%2\r\n"
                                       "CheckVideos=%3")
                            .arg(space.path(QStringLiteral("m")), site,
                                 checkVideos ? QStringLiteral("True") : QStringLiteral("False")));
    }
    // An episode that browsers may not play: H.264 and AAC in Matroska.
    QString writeEpisode(const QString &relative, const char *muxer = "matroska") const
    {
        MediaSample sample;
        sample.muxer = muxer;
        if (QByteArray(muxer) == "avi") {
            sample.videoEncoder = "mpeg4";
            sample.audioEncoder = "libmp3lame";
        }
        const QString path = space.path(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(sample.write(path));
        return path;
    }
    // The box of a refusal, or of a run that does not begin, comes as the
    // outcome's box.
    RunOutcome convert(const QString &project = {}, const QString &episode = {})
    {
        lines = ProgressLines();
        files::Outcome<WebCopyConversion> conversion =
            WebCopyConversion::prepare(space.workspace(), projects.names(), {project, episode});
        if (!conversion) {
            RunOutcome refused;
            refused.refused = true;
            refused.box = Message{{}, conversion.failure().text(), MessageIcon::Error};
            return refused;
        }
        conversion->setClock([this] { return clock; });
        conversion->plan();
        const WebCopyConversion::Readiness readiness = conversion->mayStart();
        if (readiness.start != WebCopyConversion::Start::Go) {
            RunOutcome nothing;
            nothing.box = readiness.box;
            return nothing;
        }
        return conversion->run(lines);
    }
    static QString boxText(const RunOutcome &outcome) { return outcome.box ? outcome.box->text : QString(); }
    // Every file below the folder, relative to it, hidden ones included.
    static QStringList filesBelow(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(folder).relativeFilePath(it.next()));
        found.sort();
        return found;
    }
    QSet<QByteArray> record() const
    {
        return published::read(files::OpenFolder(site)).value_or(QSet<QByteArray>{});
    }
    static void makeOlder(const QString &path)
    {
        struct stat status;
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        const struct timespec times[2] = {status.st_atim,
                                          {status.st_mtim.tv_sec - 60, status.st_mtim.tv_nsec}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }

    QString site;
};

} // namespace

TEST(WebCopyPlace, MirrorsTheMovieFoldersAndRefusesPartsThatCouldLeadElsewhere)
{
    const QString root = QStringLiteral("/srv/m");
    const QString longName = QString(251, u'a') + QStringLiteral(".mkv");
    const struct
    {
        QString movieRoot;
        QString folder;
        QString episode;
        QString copy; // empty: refused
    } rows[] = {
        {root, QStringLiteral("/srv/m/剧/第一季"), QStringLiteral("第1集.mkv"),
         QStringLiteral("Video/剧/第一季/第1集.mkv.mp4")},
        {root, QStringLiteral("/srv/m/剧/第一季"), QStringLiteral("第1集.avi"),
         QStringLiteral("Video/剧/第一季/第1集.avi.mp4")},
        {root + u'/', QStringLiteral("/srv/m/"), QStringLiteral("a.mkv"), QStringLiteral("Video/a.mkv.mp4")},
        {QStringLiteral("/"), QStringLiteral("/srv/a"), QStringLiteral("b.mkv"),
         QStringLiteral("Video/srv/a/b.mkv.mp4")},
        // Outside the movie root, or without one: named by the project.
        {root, QStringLiteral("/srv/m2/a"), QStringLiteral("b.mkv"),
         QStringLiteral("Video/_项目/甲/b.mkv.mp4")},
        {root, QStringLiteral("relative/a"), QStringLiteral("b.mkv"),
         QStringLiteral("Video/_项目/甲/b.mkv.mp4")},
        {QString(), QStringLiteral("/srv/m/a"), QStringLiteral("b.mkv"),
         QStringLiteral("Video/_项目/甲/b.mkv.mp4")},
        // Hand-edited folders that would climb out, or name nothing.
        {root, QStringLiteral("/srv/m/../../etc"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/a/./b"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/a//b"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/.hidden"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/a\\..\\..\\b"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/a\tb"), QStringLiteral("b.mkv"), {}},
        {root, QStringLiteral("/srv/m/a"), longName, {}},
    };
    for (const auto &row : rows) {
        const files::Outcome<WebCopyPlace> place =
            webcopy::placeOf(row.movieRoot, QStringLiteral("甲"), row.folder, row.episode);
        EXPECT_EQ(place ? place->relativePath() : QString(), row.copy) << row.folder.toStdString();
        EXPECT_TRUE(place || !place.failure().reason.isEmpty()) << row.folder.toStdString();
        // What is placed is what publishing's record accepts.
        if (place) {
            EXPECT_TRUE(published::isAcceptableEntry(place->entry())) << row.folder.toStdString();
        }
    }
    EXPECT_FALSE(published::isAcceptableEntry("Video/a/../b.mp4"));
    EXPECT_FALSE(published::isAcceptableEntry("Video/a/b.mkv"));
    EXPECT_FALSE(published::isAcceptableEntry("Video//b.mp4"));
}

TEST_F(WebCopies, ALinkUnderVideoThatLeadsOutIsNotFollowedAndNothingIsWrittenOutside)
{
    siteSettings();
    const QString outside = space.makeFolder(QStringLiteral("outside"));
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    addProject(QStringLiteral("乙"), QStringLiteral("m/乙"));
    writeEpisode(QStringLiteral("m/甲/1.mkv"));
    writeEpisode(QStringLiteral("m/乙/1.mkv"));
    space.makeFolder(QStringLiteral("site/Video"));
    ASSERT_TRUE(QFile::link(outside, site + QStringLiteral("/Video/甲")));

    const RunOutcome outcome = convert();
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(failureLines().first(), QStringLiteral("无法转换 甲 - 1.mkv: ") + site +
                                          QStringLiteral("/Video/甲: 路径中的链接过多或指向链接"));
    EXPECT_EQ(boxText(outcome), QStringLiteral("转换为网页格式完成,共转换 1 集,1 个错误。"));
    EXPECT_EQ(outcome.box->icon, MessageIcon::Error);
    EXPECT_TRUE(filesBelow(outside).isEmpty());
    EXPECT_EQ(record(), QSet<QByteArray>{QStringLiteral("Video/乙/1.mkv.mp4").toUtf8()});
}

TEST_F(WebCopies, ASiteFolderAmongTheFilmsOrNoneAtAllIsRefused)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    const QString movies = space.path(QStringLiteral("m"));
    space.makeFolder(QStringLiteral("m/site"));
    ASSERT_TRUE(QFile::link(movies, space.path(QStringLiteral("linked-site"))));
    for (const QString &webFile :
         {movies, movies + QStringLiteral("/site"), space.path(QStringLiteral("linked-site")), QString()}) {
        space.writeSiteSettings(movies, webFile);
        const RunOutcome outcome = convert();
        EXPECT_TRUE(outcome.refused) << webFile.toStdString();
        EXPECT_EQ(QStringList{boxText(outcome)},
                  QStringList{webFile.isEmpty() ? QStringLiteral("请先在设置中填写站点路径!")
                                                : QStringLiteral("站点文件夹位于影片文件路径之内,"
                                                                 "无法保存网页版视频!")});
    }
    EXPECT_EQ(filesBelow(movies), QStringList{});
}

// Each original of one name has a copy of its own, and only the one asked
// for is made.
TEST_F(WebCopies, OriginalsOfOneNameGetCopiesOfTheirOwn)
{
    siteSettings();
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    const QString mkv = writeEpisode(QStringLiteral("m/甲/a.mkv"));
    const QString avi = writeEpisode(QStringLiteral("m/甲/a.avi"), "avi");

    EXPECT_TRUE(convert(QStringLiteral("甲"), QStringLiteral("a.avi")).succeeded());
    EXPECT_EQ(filesBelow(site + QStringLiteral("/Video")), QStringList{QStringLiteral("甲/a.avi.mp4")});
    EXPECT_EQ(lines.texts().first(), QStringLiteral("正在转换 甲 - a.avi (重新编码)..."));
    EXPECT_TRUE(convert(QStringLiteral("甲")).succeeded());
    EXPECT_EQ(filesBelow(site + QStringLiteral("/Video")),
              (QStringList{QStringLiteral("甲/a.avi.mp4"), QStringLiteral("甲/a.mkv.mp4")}));
    EXPECT_TRUE(media::isUpToDate(site + QStringLiteral("/Video/甲/a.mkv.mp4"), mkv));
    EXPECT_TRUE(media::isUpToDate(site + QStringLiteral("/Video/甲/a.avi.mp4"), avi));
    EXPECT_EQ(boxText(convert(QStringLiteral("甲"), QStringLiteral("a.avi"))),
              QStringLiteral("该集的网页版视频已是最新!"));
}

TEST_F(WebCopies, ASiteFolderWithoutRoomForTheCopiesRefusesBeforeWritingAnything)
{
    siteSettings();
    const SmallTmpfs disk(site, 64 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    disk.fill(QStringLiteral("filler"));
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    writeEpisode(QStringLiteral("m/甲/a.mkv"));

    const RunOutcome refused = convert(QStringLiteral("甲"));
    EXPECT_TRUE(boxText(refused).startsWith(site + QStringLiteral(": 磁盘空间不足 (需要约 ")))
        << boxText(refused).toStdString();
    EXPECT_EQ(refused.box->icon, MessageIcon::Error);
    EXPECT_EQ(filesBelow(site), QStringList{QStringLiteral("filler")});
}

// The classic pages play an up-to-date copy through `movie/..`, and the run
// no longer notes the episode; a copy made before the original changed is
// not linked, and the next conversion makes it anew.
TEST_F(WebCopies, AStaleCopyIsNotLinkedAndIsMadeAgain)
{
    siteSettings(true);
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    const QString original = writeEpisode(QStringLiteral("m/甲/第1集.mkv"));
    const QByteArray linked =
        text::encode(QStringLiteral("myVid.src=\"../movie/../Video/甲/第1集.mkv.mp4\""));
    const auto page = [this] { return space.readBytes(QStringLiteral("site/Data/甲.html")); };

    ASSERT_TRUE(convert().succeeded());
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    EXPECT_TRUE(page().contains(linked));
    EXPECT_TRUE(
        page().contains(text::encode(QStringLiteral("<source src=\"../movie/../Video/甲/第1集.mkv.mp4\""))));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("生成网站成功!")});

    makeOlder(original);
    lines.beginWholeSiteRun();
    ASSERT_TRUE(generate().succeeded());
    EXPECT_FALSE(page().contains("Video/"));
    EXPECT_TRUE(page().contains(text::encode(QStringLiteral("myVid.src=\"../movie/甲/第1集.mkv\""))));
    EXPECT_EQ(messages.texts().last(),
              QStringLiteral("生成网站成功!\r\n\r\n有 1 集在浏览器中可能无法正常播放,"
                             "可用“转换为网页格式”处理。"));

    EXPECT_EQ(boxText(convert()), QStringLiteral("转换为网页格式完成,共转换 1 集。"));
    lines.beginWholeSiteRun();
    ASSERT_TRUE(generate().succeeded());
    EXPECT_TRUE(page().contains(linked));
}

// Publishing removes, through its record alone, the copy of an episode that
// is gone; copies of a project whose folder is missing now stay, and so
// does every file the record does not name.
TEST_F(WebCopies, AWholeSiteRunRemovesTheRecordedCopiesOfEpisodesThatAreGone)
{
    siteSettings();
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("1.mkv")});
    addProject(QStringLiteral("乙"), QStringLiteral("m/乙"));
    QDir(space.path(QStringLiteral("m/乙"))).removeRecursively();
    for (const char *file : {"site/Video/甲/1.mkv.mp4", "site/Video/甲/2.mkv.mp4", "site/Video/甲/mine.mp4",
                             "site/Video/乙/1.mkv.mp4"})
        space.writeBytes(QString::fromUtf8(file), "copy");
    space.writeBytes(QStringLiteral("site/.tessaly-published"),
                     QStringLiteral("tessaly published files 1\nVideo/甲/1.mkv.mp4\nVideo/甲/2.mkv.mp4\n"
                                    "Video/乙/1.mkv.mp4\nend\n")
                         .toUtf8());

    generate();
    EXPECT_TRUE(lines.texts().contains(QStringLiteral("已删除网页版视频 ") + site +
                                       QStringLiteral("/Video/甲/2.mkv.mp4 (原视频已不在任何项目中)")));
    EXPECT_EQ(filesBelow(site + QStringLiteral("/Video")),
              (QStringList{QStringLiteral("乙/1.mkv.mp4"), QStringLiteral("甲/1.mkv.mp4"),
                           QStringLiteral("甲/mine.mp4")}));
    EXPECT_TRUE(record().contains(QStringLiteral("Video/乙/1.mkv.mp4").toUtf8()));
    EXPECT_FALSE(record().contains(QStringLiteral("Video/甲/2.mkv.mp4").toUtf8()));
}
