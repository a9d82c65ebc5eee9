#include "files/OpenFolder.h"
#include "site/PublishedRecord.h"
#include "site/SiteFixture.h"
#include "site/StyleValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

QByteArray srt(const QByteArray &text)
{
    return "1\r\n00:00:00,500 --> 00:00:01,500\r\n" + text + "\r\n";
}

// Projects of the new page set whose episodes have subtitles beside them,
// published into `site`.
class SubtitleRuns : public SiteTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults(), {PageSet::Modern, {}}));
        site = space.makeFolder(QStringLiteral("site"));
        space.writeSiteSettings(space.path(QStringLiteral("m")), site, QString(), QStringLiteral("True"));
    }
    QJsonArray tracksOf(const QString &project, int episode) const
    {
        const QJsonArray episodes =
            episodeData(QString::fromUtf8(space.readBytes(QStringLiteral("Web/Data/") + project + ".html")));
        return episodes.at(episode).toObject().value(QStringLiteral("tracks")).toArray();
    }
    // Files are written whole under a new name and renamed into place, so
    // a file written again is a new one.
    quint64 fileId(const QString &relative) const
    {
        struct stat status;
        return ::stat(QFile::encodeName(space.path(relative)).constData(), &status) == 0 ? status.st_ino : 0;
    }
    QStringList filesIn(const QString &relative) const
    {
        return QDir(space.path(relative)).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QSet<QByteArray> record() const
    {
        return published::read(files::OpenFolder(site)).value_or(QSet<QByteArray>{});
    }
    QSet<QByteArray> subtitleEntries() const
    {
        QSet<QByteArray> entries;
        for (const QByteArray &entry : record()) {
            if (entry.startsWith("Subtitle/"))
                entries.insert(entry);
        }
        return entries;
    }
    QString site;
};

} // namespace

TEST_F(SubtitleRuns, EachProjectsTracksAreMadeInItsOwnFolderListedOnItsPageAndPublished)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"),
               {QStringLiteral("第1集.mp4"), QStringLiteral("第2集.mp4")});
    space.writeBytes(QStringLiteral("m/甲/第1集.en.srt"), srt("First line"));
    space.writeBytes(QStringLiteral("m/甲/第1集.chs.srt"), srt("第一句"));
    space.writeBytes(QStringLiteral("m/甲/第2集.srt"), "1\n00:00:01,000 --> 00:00:02,000\n\xFF\n");
    addProject(QStringLiteral("乙"), QStringLiteral("m/乙"), {QStringLiteral("第1集.mp4")});
    space.writeBytes(QStringLiteral("m/乙/第1集.srt"), srt("乙的字幕"));

    // A file that gives no track is a line of the run, not an error.
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    EXPECT_EQ(failureLines(), QStringList{QStringLiteral("第2集.srt: 无法识别的文字编码")});

    EXPECT_EQ(filesIn(QStringLiteral("Web/Subtitle/甲")),
              (QStringList{QStringLiteral("第1集.mp4.1.js"), QStringLiteral("第1集.mp4.1.vtt"),
                           QStringLiteral("第1集.mp4.2.js"), QStringLiteral("第1集.mp4.2.vtt")}));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Subtitle/甲/第1集.mp4.1.vtt")),
              "WEBVTT\n\n00:00:00.500 --> 00:00:01.500\n第一句\n");
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Subtitle/乙/第1集.mp4.1.vtt")),
              "WEBVTT\n\n00:00:00.500 --> 00:00:01.500\n乙的字幕\n");
    EXPECT_TRUE(space.readBytes(QStringLiteral("Web/Subtitle/乙/第1集.mp4.1.js"))
                    .startsWith("window.tessalySubtitles=window.tessalySubtitles||{};window.tessalySubtitles["
                                "\"\\u7b2c1\\u96c6.mp4.1.vtt\"]=[[0.500,1.500,"));

    const auto track = [](const QString &src, const QString &label, const QString &lang, bool isDefault) {
        return QJsonObject{{QStringLiteral("src"), src},
                           {QStringLiteral("label"), label},
                           {QStringLiteral("lang"), lang},
                           {QStringLiteral("default"), isDefault}};
    };
    EXPECT_EQ(tracksOf(QStringLiteral("甲"), 0),
              (QJsonArray{track(QStringLiteral("../Subtitle/甲/第1集.mp4.1.vtt"), QStringLiteral("简体中文"),
                                QStringLiteral("zh-Hans"), true),
                          track(QStringLiteral("../Subtitle/甲/第1集.mp4.2.vtt"), QStringLiteral("English"),
                                QStringLiteral("en"), false)}));
    EXPECT_TRUE(tracksOf(QStringLiteral("甲"), 1).isEmpty());
    EXPECT_EQ(tracksOf(QStringLiteral("乙"), 0),
              QJsonArray{
                  track(QStringLiteral("../Subtitle/乙/第1集.mp4.1.vtt"), QStringLiteral("字幕"), {}, true)});

    EXPECT_EQ(space.readBytes(QStringLiteral("site/Subtitle/乙/第1集.mp4.1.vtt")),
              space.readBytes(QStringLiteral("Web/Subtitle/乙/第1集.mp4.1.vtt")));
    EXPECT_EQ(subtitleEntries(),
              (QSet<QByteArray>{"Subtitle/甲/第1集.mp4.1.vtt", "Subtitle/甲/第1集.mp4.1.js",
                                "Subtitle/甲/第1集.mp4.2.vtt", "Subtitle/甲/第1集.mp4.2.js",
                                "Subtitle/乙/第1集.mp4.1.vtt", "Subtitle/乙/第1集.mp4.1.js"}));
    EXPECT_TRUE(lines.texts().contains(QStringLiteral("字幕内容更新")));

    // A project that is gone takes its tracks along, here and in the site;
    // the classic pages have none.
    projects.setNames({QStringLiteral("甲")});
    ASSERT_TRUE(generate().succeeded());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Subtitle/乙")));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Subtitle/乙")));
    ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults(), {PageSet::Classic, {}}));
    lines.beginWholeSiteRun();
    ASSERT_TRUE(generate().succeeded());
    EXPECT_TRUE(QDir(space.path(QStringLiteral("Web/Subtitle"))).isEmpty());
    EXPECT_FALSE(space.exists(QStringLiteral("site/Subtitle/甲")));
    EXPECT_TRUE(subtitleEntries().isEmpty());
}

TEST_F(SubtitleRuns, AnUnchangedSubtitleIsNotMadeAgainAndAChangedOneIs)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("第1集.mp4")});
    space.writeBytes(QStringLiteral("m/甲/第1集.srt"), srt("第一句"));
    const QString track = QStringLiteral("Web/Subtitle/甲/第1集.mp4.1.vtt");
    const QString script = QStringLiteral("Web/Subtitle/甲/第1集.mp4.1.js");
    ASSERT_TRUE(generate().succeeded());
    const quint64 trackId = fileId(track);
    const quint64 scriptId = fileId(script);
    ASSERT_NE(trackId, 0u);
    ASSERT_TRUE(generate().succeeded());
    ASSERT_TRUE(update(0).succeeded());
    EXPECT_EQ(fileId(track), trackId);
    EXPECT_EQ(fileId(script), scriptId);

    // The update makes the changed file anew and publishes it.
    space.writeBytes(QStringLiteral("m/甲/第1集.srt"), srt("改过的第一句"));
    ASSERT_TRUE(update(0).succeeded());
    EXPECT_TRUE(space.readBytes(track).contains("改过的第一句"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Subtitle/甲/第1集.mp4.1.vtt")), space.readBytes(track));

    // A track file that is not as the run left it is made anew.
    space.writeBytes(track, "WEBVTT\n");
    ASSERT_TRUE(generate().succeeded());
    EXPECT_TRUE(space.readBytes(track).contains("改过的第一句"));

    // Without subtitles the project has no folder, here or in the site.
    QFile::remove(space.path(QStringLiteral("m/甲/第1集.srt")));
    ASSERT_TRUE(update(0).succeeded());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Subtitle/甲")));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Subtitle/甲")));
    EXPECT_TRUE(subtitleEntries().isEmpty());
    EXPECT_TRUE(tracksOf(QStringLiteral("甲"), 0).isEmpty());
}

TEST_F(SubtitleRuns, PublishingRemovesOnlyTracksTheRecordNamesInsideTheSiteFolder)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("第1集.mp4")});
    space.writeBytes(QStringLiteral("m/甲/第1集.srt"), srt("第一句"));
    ASSERT_TRUE(generate().succeeded());
    space.writeBytes(QStringLiteral("outside/x.vtt"), "outside");
    space.writeBytes(QStringLiteral("site/Subtitle/mine.vtt"), "mine");
    space.writeBytes(QStringLiteral("site/Subtitle/甲/mine.vtt"), "mine");
    space.writeBytes(QStringLiteral("site/Subtitle/甲/sub/x.vtt"), "mine");
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("outside")), site + QStringLiteral("/Subtitle/link")));
    const QByteArray entries[] = {"Subtitle/mine.vtt",     "Subtitle/甲/../../outside/x.vtt",
                                  "Subtitle/甲/sub/x.vtt", "Subtitle/../outside/x.vtt",
                                  "Subtitle//x.vtt",       "Subtitle/.hidden/x.vtt",
                                  "Subtitle/甲/mine.vtt/", "Subtitle/link/x.vtt"};
    QByteArray hostile = "tessaly published files 1\n";
    for (const QByteArray &entry : record())
        hostile += entry + '\n';
    for (const QByteArray &entry : entries)
        hostile += entry + '\n';
    space.writeBytes(QStringLiteral("site/.tessaly-published"), hostile + "end\n");

    // The project's tracks go; a folder the record names through a link
    // is not entered, and the user's files stay.
    QFile::remove(space.path(QStringLiteral("m/甲/第1集.srt")));
    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(space.readBytes(QStringLiteral("outside/x.vtt")), QByteArray("outside"));
    EXPECT_TRUE(QFileInfo(site + QStringLiteral("/Subtitle/link")).isSymLink());
    EXPECT_EQ(filesIn(QStringLiteral("site/Subtitle")), QStringList{QStringLiteral("mine.vtt")});
    EXPECT_EQ(filesIn(QStringLiteral("site/Subtitle/甲")), QStringList{QStringLiteral("mine.vtt")});
    EXPECT_TRUE(space.exists(QStringLiteral("site/Subtitle/甲/sub/x.vtt")));
    EXPECT_EQ(subtitleEntries(), QSet<QByteArray>{"Subtitle/link/x.vtt"});

    // A project's folder in the site that is a link is refused: nothing is
    // written through it.
    space.writeBytes(QStringLiteral("m/甲/第1集.srt"), srt("第一句"));
    QDir(site + QStringLiteral("/Subtitle/甲")).removeRecursively();
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("outside")), site + QStringLiteral("/Subtitle/甲")));
    EXPECT_EQ(generate().errors, 1);
    EXPECT_TRUE(failureLines().first().startsWith(QStringLiteral("无法写入 ") + site +
                                                  QStringLiteral("/Subtitle/甲")));
    EXPECT_EQ(QDir(space.path(QStringLiteral("outside"))).entryList(QDir::Files),
              QStringList{QStringLiteral("x.vtt")});
}

// Chromium refuses track files to pages opened from file:, so there the
// play page takes each track's cues from the script beside it. A test
// script placed beside a copy of the page writes what the player shows into
// the title, which the browser's dump of the page holds.
TEST_F(SubtitleRuns, FromFilesThePlayerShowsTheCuesInChromium)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium)";
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("第1集.mp4")});
    space.writeBytes(QStringLiteral("m/甲/第1集.chs.srt"), srt("第一句 & <i>斜体</i>"));
    space.writeBytes(QStringLiteral("m/甲/第1集.en.srt"), srt("First line"));
    ASSERT_TRUE(generate().succeeded());
    QString page = QString::fromUtf8(space.readBytes(QStringLiteral("Web/Data/甲.html")));
    page.replace(QStringLiteral("</body>"), QStringLiteral("<script src=\"probe.js\"></script>\n</body>"));
    space.writeBytes(QStringLiteral("Web/Data/probe.html"), page.toUtf8());
    space.writeBytes(QStringLiteral("Web/Data/probe.js"), R"((function () {
  var video = document.getElementById('video1');
  var look = function () {
    var shown = Array.prototype.filter.call(video.textTracks, function (t) { return t.mode === 'showing'; });
    if (shown.length !== 1 || !shown[0].cues || shown[0].cues.length === 0) {
      setTimeout(look, 50);
      return;
    }
    var cue = shown[0].cues[0];
    var menu = document.getElementById('subtitle');
    document.title = JSON.stringify([shown[0].label, video.textTracks.length, cue.startTime, cue.endTime,
      cue.getCueAsHTML().textContent, Array.prototype.map.call(menu.options, function (o) { return o.text; })]);
  };
  look();
})();
)");

    QTemporaryDir profile;
    QProcess browser;
    browser.start(chromium,
                  {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                   QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
                   QStringLiteral("--disable-component-update"), QStringLiteral("--no-first-run"),
                   QStringLiteral("--user-data-dir=") + profile.path(),
                   QStringLiteral("--virtual-time-budget=5000"), QStringLiteral("--dump-dom"),
                   QUrl::fromLocalFile(space.path(QStringLiteral("Web/Data/probe.html"))).toString()});
    ASSERT_TRUE(browser.waitForFinished(60000)) << browser.errorString().toStdString();
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const QRegularExpressionMatch title =
        QRegularExpression(QStringLiteral("<title>(.*)</title>")).match(dom);
    ASSERT_TRUE(title.hasMatch()) << dom.left(2000).toStdString();
    QString shown = title.captured(1);
    shown.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    shown.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    EXPECT_EQ(
        QJsonDocument::fromJson(shown.toUtf8()).array(),
        (QJsonArray{QStringLiteral("简体中文"), 2, 0.5, 1.5, QStringLiteral("第一句 & 斜体"),
                    QJsonArray{QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("关")}}))
        << shown.toStdString();
}
