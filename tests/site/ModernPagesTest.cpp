#include "site/EpisodeFacts.h"
#include "site/ModernTemplates.h"
#include "site/PageValues.h"
#include "site/SiteFixture.h"
#include "site/StyleValues.h"
#include "support/TestVideos.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Facts given per file name, for the cases that need them.
class GivenFacts : public EpisodeFactsProvider
{
public:
    EpisodeFacts factsOf(const QString &, const QString &, const QByteArray &fileName) const override
    {
        return facts.value(QString::fromUtf8(fileName), fallback);
    }
    QHash<QString, EpisodeFacts> facts;
    EpisodeFacts fallback;
};

class ModernPages : public SiteTest
{
protected:
    void choose(PageSet set, const QString &siteName = {})
    {
        ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults(), {set, siteName}));
    }
    RunOutcome generateWith(const EpisodeFactsProvider &facts)
    {
        return runSite(std::nullopt, [&facts](SiteRun &run) { run.setEpisodeFacts(&facts); });
    }
    QString utf8(const QString &relative) const
    {
        const QByteArray bytes = space.readBytes(relative);
        EXPECT_TRUE(QByteArrayView(bytes).isValidUtf8()) << relative.toStdString();
        return QString::fromUtf8(bytes);
    }
};

} // namespace

TEST_F(ModernPages, TheChosenSetsTemplatesLiveApartAndAMissingOneServesAtOnce)
{
    space.writeText(QStringLiteral("Style/PageStyle.html"), QStringLiteral("my classic page [[Title]]"));
    choose(PageSet::Modern);
    templates = UpdateStyle(space.workspace(), templates);
    EXPECT_EQ(templates.pageSet, PageSet::Modern);
    EXPECT_TRUE(templates.failures.isEmpty());
    EXPECT_EQ(templates.playPage, modern::playPage());
    EXPECT_EQ(templates.siteName, QStringLiteral("我的影片"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Style/新版/ButtonStyle.html")),
              modern::fileBytes(modern::button()));
    EXPECT_EQ(space.readBytes(QStringLiteral("Style/PageStyle.html")),
              text::fileBytes(QStringLiteral("my classic page [[Title]]")));

    // An edited template, saved with a byte-order mark, is read as UTF-8;
    // one that is not UTF-8 stops the run with its path.
    space.writeBytes(QStringLiteral("Style/新版/PageStyle.html"),
                     "\xEF\xBB\xBF<p>[[Title]] \xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 [[SiteName]]</p>");
    choose(PageSet::Modern, QStringLiteral("家庭影院"));
    addProject(QStringLiteral("剧"), QStringLiteral("movies/剧"), {QStringLiteral("1.mp4")});
    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(utf8(QStringLiteral("Web/Data/剧.html")), QStringLiteral("<p>剧 한국어 家庭影院</p>\r\n"));
    EXPECT_TRUE(utf8(QStringLiteral("Web/index.html")).contains(QStringLiteral("<title>家庭影院</title>")));

    space.writeBytes(QStringLiteral("Style/新版/FunctionStyle.html"), "\xB5\xDA");
    templates = UpdateStyle(space.workspace(), templates);
    ASSERT_EQ(templates.failures.size(), 1);
    EXPECT_EQ(templates.failures.first().path, space.path(QStringLiteral("Style/新版/FunctionStyle.html")));

    // Anything but "新版" is the classic set, with its own files.
    choose(PageSet::Classic);
    space.writeText(
        QStringLiteral("Style/Style.ini"),
        text(QStringLiteral("Style/Style.ini")).replace(QStringLiteral("经典"), QStringLiteral("新")));
    templates = UpdateStyle(space.workspace(), templates);
    EXPECT_EQ(templates.pageSet, PageSet::Classic);
    EXPECT_EQ(templates.playPage, QStringLiteral("my classic page [[Title]]\r\n"));
    EXPECT_EQ(chosenPageSet(space.workspace()), PageSet::Classic);
}

TEST_F(ModernPages, EveryEpisodeReachesThePageAsDataThatSurvivesHostileNames)
{
    const QStringList episodes = {
        QStringLiteral("01 <!-- <script> x.mp4"),
        QStringLiteral("02 \"q\" & 'a' [[Title]].avi"),
        QStringLiteral("03 line\u2028break.mp4"),
        QStringLiteral("04 😀 第4集 100%#.mp4"),
    };
    choose(PageSet::Modern);
    space.writeSiteSettings(space.path(QStringLiteral("movies")));
    const QString project = QStringLiteral("Tom's & [[Episodes]] 🎬");
    addProject(project, QStringLiteral("movies/Tom"), episodes);
    space.writeBytes(QStringLiteral("movies/Tom/01 <!-- <script> x.srt"),
                     "1\n00:00:01,000 --> 00:00:02,000\nx\n");
    GivenFacts facts;
    facts.fallback.seconds = 65.4;
    facts.facts[episodes.at(1)] = {std::nullopt, QStringLiteral("none"), QStringLiteral("AVI 格式"), {}};
    facts.facts[episodes.at(2)] = {30, QStringLiteral("partial"), {}, QStringLiteral("web/Tom/03 #.mp4")};
    ASSERT_TRUE(generateWith(facts).succeeded()) << failureLines().join(u'\n').toStdString();

    const QString page = utf8(QStringLiteral("Web/Data/") + project + QStringLiteral(".html"));
    EXPECT_TRUE(page.contains(QStringLiteral("<title>Tom's &amp; &#91;&#91;Episodes]] 🎬</title>")));
    const QJsonArray data = episodeData(page);
    ASSERT_EQ(data.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject episode = data.at(i).toObject();
        EXPECT_EQ(episode.value(QStringLiteral("n")).toInt(), i + 1);
        EXPECT_EQ(episode.value(QStringLiteral("file")).toString(), episodes.at(i));
        EXPECT_EQ(episode.value(QStringLiteral("name")).toString(),
                  page::nameWithoutExtension(episodes.at(i)));
        EXPECT_EQ(episode.value(QStringLiteral("tracks")).toArray().size(), i == 0 ? 1 : 0);
    }
    const QJsonObject first = data.at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("src")).toString(),
              QStringLiteral("../movie/Tom/01 %3C!-- %3Cscript%3E x.mp4"));
    EXPECT_EQ(first.value(QStringLiteral("download")), first.value(QStringLiteral("src")));
    EXPECT_EQ(first.value(QStringLiteral("tracks")).toArray().first().toObject(),
              (QJsonObject{{QStringLiteral("src"), QStringLiteral("../Subtitle/Tom's %26 %5B%5BEpisodes]] 🎬/"
                                                                  "01 %3C!-- %3Cscript%3E x.mp4.1.vtt")},
                           {QStringLiteral("label"), QStringLiteral("字幕")},
                           {QStringLiteral("lang"), QString()},
                           {QStringLiteral("default"), true}}));
    EXPECT_EQ(first.value(QStringLiteral("duration")).toDouble(), 65.4);
    EXPECT_EQ(first.value(QStringLiteral("verdict")).toString(), QStringLiteral("ok"));
    const QJsonObject second = data.at(1).toObject();
    EXPECT_TRUE(second.value(QStringLiteral("duration")).isNull());
    EXPECT_EQ(second.value(QStringLiteral("verdict")).toString(), QStringLiteral("none"));
    EXPECT_EQ(second.value(QStringLiteral("reason")).toString(), QStringLiteral("AVI 格式"));
    const QJsonObject third = data.at(2).toObject();
    EXPECT_EQ(third.value(QStringLiteral("src")).toString(), QStringLiteral("../web/Tom/03 %23.mp4"));
    EXPECT_EQ(third.value(QStringLiteral("download")).toString(),
              QStringLiteral("../movie/Tom/03 line\u2028break.mp4"));
    EXPECT_EQ(data.at(3).toObject().value(QStringLiteral("download")).toString(),
              QStringLiteral("../movie/Tom/04 😀 第4集 100%25%23.mp4"));
    // Buttons show each duration that is known; the placeholder in a name
    // stays text.
    EXPECT_TRUE(page.contains(QStringLiteral("<span class=\"length\">1:05</span>")));
    EXPECT_TRUE(page.contains(QStringLiteral("&#91;&#91;Title]]</span><span class=\"length\"></span>")));

    // One duration unknown: no total on the cover.
    const QString index = utf8(QStringLiteral("Web/index.html"));
    EXPECT_TRUE(index.contains(QStringLiteral("href=\"Data/Tom's %26 %5B%5BEpisodes]] 🎬.html\"")));
    EXPECT_TRUE(index.contains(QStringLiteral("共 4 集<span class=\"length\"></span>")));
    facts.facts.clear();
    ASSERT_TRUE(generateWith(facts).succeeded());
    EXPECT_TRUE(utf8(QStringLiteral("Web/index.html"))
                    .contains(QStringLiteral("共 4 集<span class=\"length\">4:22</span>")));
}

TEST(ModernPageValues, JsonStringsAndDurationsAsThePagesNeedThem)
{
    QString json;
    page::appendJsonString(json, QStringLiteral("a\"\\\n\u0001") + QChar(0xD800) + QStringLiteral("b") +
                                     QChar(0xDC00) + QStringLiteral("😀\u2029]"));
    EXPECT_EQ(json, QStringLiteral("\"a\\\"\\\\\\n\\u0001\\uFFFDb\\uFFFD😀\\u2029]\""));
    EXPECT_EQ(page::durationText(2530.4), QStringLiteral("42:10"));
    EXPECT_EQ(page::durationText(45296), QStringLiteral("12:34:56"));
    EXPECT_EQ(page::durationText(3600), QStringLiteral("1:00:00"));
    EXPECT_EQ(page::durationText(4.6), QStringLiteral("0:05"));
    EXPECT_EQ(page::durationText(1e300), QString()); // as a damaged file may claim
    EXPECT_EQ(media::durationText(4.6, media::DurationStyle::Clock), QStringLiteral("0:00:05"));
    EXPECT_EQ(page::jsonSeconds(std::nullopt), QStringLiteral("null"));
    EXPECT_EQ(page::jsonSeconds(-1), QStringLiteral("null"));
    // Seconds read the same as Qt writes them, exact ties rounded up.
    for (const double seconds : {0.0, 2530.4, 0.0625, 7095.3125, 1e15, 1.0005})
        EXPECT_EQ(page::jsonSeconds(seconds), QString::number(seconds, 'f', 3)) << seconds;
}

TEST_F(ModernPages, TheRunsOwnCheckGivesThePagesTheirFactsAndNotesTheSameEpisodes)
{
    choose(PageSet::Modern);
    const QString folder = addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    ASSERT_TRUE(MediaSample{}.write(folder + QStringLiteral("/1.mp4")));
    MediaSample matroska;
    matroska.muxer = "matroska";
    ASSERT_TRUE(matroska.write(folder + QStringLiteral("/2.mkv")));

    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(failureLines(), QStringList{QStringLiteral("2.mkv: 部分浏览器无法播放 (MKV 格式)")});
    const QJsonArray episodes = episodeData(utf8(QStringLiteral("Web/Data/甲.html")));
    ASSERT_EQ(episodes.size(), 2);
    EXPECT_EQ(episodes.at(0)[QStringLiteral("verdict")].toString(), QStringLiteral("ok"));
    EXPECT_NEAR(episodes.at(0)[QStringLiteral("duration")].toDouble(), 1.0, 0.2);
    EXPECT_EQ(episodes.at(1)[QStringLiteral("verdict")].toString(), QStringLiteral("partial"));
    EXPECT_EQ(episodes.at(1)[QStringLiteral("reason")].toString(), QStringLiteral("MKV 格式"));

    // Again from the cache, read ahead of the run: a changed file is probed
    // anew, and a project without episodes and a second project of the
    // same folder change nothing.
    ASSERT_TRUE(MediaSample{}.write(folder + QStringLiteral("/2.mkv")));
    addProject(QStringLiteral("空"), QStringLiteral("m/空"));
    addProject(QStringLiteral("乙"), QStringLiteral("m/甲"));
    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(failureLines(), QStringList());
    for (const QString &project : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        const QJsonArray again = episodeData(utf8(QStringLiteral("Web/Data/%1.html").arg(project)));
        ASSERT_EQ(again.size(), 2);
        EXPECT_EQ(again.at(0)[QStringLiteral("duration")], episodes.at(0)[QStringLiteral("duration")]);
        EXPECT_EQ(again.at(1)[QStringLiteral("verdict")].toString(), QStringLiteral("ok"));
    }
}

TEST_F(ModernPages, BothPageSetsCheckEachEpisodeByItsNamesBytes)
{
    const QString folder = addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    // A name that is not UTF-8 (GBK "第1集.mp4") plays as any other.
    ASSERT_TRUE(MediaSample{}.write(folder + QStringLiteral("/plays.mp4")));
    ASSERT_EQ(::rename(QFile::encodeName(folder + QStringLiteral("/plays.mp4")).constData(),
                       (QFile::encodeName(folder) + "/\xb5\xda"
                                                    "1\xbc\xaf.mp4")
                           .constData()),
              0);
    MediaSample matroska;
    matroska.muxer = "matroska";
    ASSERT_TRUE(matroska.write(folder + QStringLiteral("/2.mkv")));

    for (const PageSet set : {PageSet::Classic, PageSet::Modern}) {
        choose(set);
        ASSERT_TRUE(generate().succeeded());
        EXPECT_EQ(failureLines(), QStringList{QStringLiteral("2.mkv: 部分浏览器无法播放 (MKV 格式)")});
    }
    const QJsonArray episodes = episodeData(utf8(QStringLiteral("Web/Data/甲.html")));
    ASSERT_EQ(episodes.size(), 2);
    for (const QJsonValue &episode : episodes)
        EXPECT_NEAR(episode[QStringLiteral("duration")].toDouble(), 1.0, 0.2);
}
