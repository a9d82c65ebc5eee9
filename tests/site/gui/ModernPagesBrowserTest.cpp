#include "site/EpisodeFacts.h"
#include "site/SiteFixture.h"
#include "site/StyleValues.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestVideos.h"
#include "support/WebPageDriving.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class UnplayableAvi : public EpisodeFactsProvider
{
public:
    EpisodeFacts factsOf(const QString &, const QString &, const QByteArray &fileName) const override
    {
        if (fileName.endsWith(".avi"))
            return {std::nullopt, QStringLiteral("none"), QStringLiteral("AVI 格式"), {}};
        if (fileName.startsWith("02"))
            return {2, QStringLiteral("silent"), QStringLiteral("AC-3 音频"), {}};
        return {2, QStringLiteral("ok"), {}, {}};
    }
};

const QString LongName = QStringLiteral(
    "03 Breaking.Code.S01E03.The.Episode.Whose.Name.Is.Far.Too.Long.For.Any.Phone.Screen.1080p");

// Sizes a viewer meets: a phone held upright and a desktop screen.
const QList<QSize> Screens = {{390, 844}, {1920, 1080}};

class ModernSite : public SiteTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults(),
                                       {PageSet::Modern, QStringLiteral("家庭影院")}));
        space.writeSiteSettings(space.path(QStringLiteral("Web/movie")));
        view.page()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    }

    // A series of three short videos that browsers play, and one they
    // cannot, besides covers for the other projects.
    void makeSeries(const QString &name)
    {
        const QString folder = space.makeFolder(QStringLiteral("Web/movie/") + name);
        TestVideo video;
        video.kind = TestVideo::Kind::Vp8InWebm;
        video.width = 64;
        video.height = 48;
        video.seconds = 2;
        video.framesPerSecond = 10;
        video.picture = [](int frame, int, int) { return frame * 5 % 255; };
        for (const QString &episode :
             {QStringLiteral("01 开端.webm"), QStringLiteral("02 \"第二\" & more.webm"),
              LongName + QStringLiteral(".webm")})
            ASSERT_TRUE(video.write(folder + u'/' + episode));
        space.writeBytes(QStringLiteral("Web/movie/") + name + QStringLiteral("/04 old.avi"), "RIFF");
        setFolder(name, folder);
        projects.setNames(projects.names() + QStringList{name});
    }
    void generateSite()
    {
        ASSERT_TRUE(runSite(std::nullopt, [this](SiteRun &run) { run.setEpisodeFacts(&facts); }).succeeded())
            << failureLines().join(u'\n').toStdString();
    }
    bool open(const QString &relative, QSize screen = Screens.first())
    {
        view.resize(screen);
        view.show();
        return loadPage(*view.page(), QUrl::fromLocalFile(space.path(QStringLiteral("Web/") + relative)));
    }
    QVariant run(const QString &script) { return evaluate(*view.page(), script); }
    bool waitFor(const QString &script) { return waitForScript(*view.page(), script); }
    bool scrollsSideways()
    {
        return run(QStringLiteral("document.documentElement.scrollWidth > window.innerWidth")).toBool();
    }
    double smallestText()
    {
        return run(QStringLiteral("Math.min(...Array.from(document.querySelectorAll('body *'))"
                                  ".filter(e => e.getClientRects().length > 0 && Array.from(e.childNodes)"
                                  ".some(n => n.nodeType === 3 && n.textContent.trim() !== ''))"
                                  ".map(e => parseFloat(getComputedStyle(e).fontSize)))"))
            .toDouble();
    }

    UnplayableAvi facts;
    QWebEngineView view;
};

} // namespace

TEST_F(ModernSite, TheIndexFitsEveryScreenAndItsSearchFiltersAsTheViewerTypes)
{
    const QStringList names = {QStringLiteral("Ａｌｐｈａ 城"), QStringLiteral("beta"),
                               QStringLiteral("庆余年"),        QStringLiteral("Gamma 🎬 한국어"),
                               QStringLiteral("Delta"),         QStringLiteral("Epsilon"),
                               QStringLiteral("Zeta"),          QStringLiteral("Eta")};
    for (const QString &name : names)
        addProject(name, QStringLiteral("movies/") + name, {QStringLiteral("1.mp4")});
    generateSite();

    for (const QSize &screen : Screens) {
        ASSERT_TRUE(open(QStringLiteral("index.html"), screen));
        EXPECT_EQ(run(QStringLiteral("document.title")).toString(), QStringLiteral("家庭影院"));
        EXPECT_FALSE(scrollsSideways()) << screen.width();
        const int perRow =
            run(QStringLiteral("Array.from(document.querySelectorAll('.cell')).filter(c => "
                               "c.offsetTop === document.querySelector('.cell').offsetTop).length"))
                .toInt();
        if (screen.width() < 500) {
            EXPECT_GE(smallestText(), 14);
            EXPECT_EQ(perRow, 2);
        } else {
            EXPECT_EQ(perRow, 8);
        }
        EXPECT_EQ(run(QStringLiteral("document.querySelector('.cell img').loading")).toString(),
                  QStringLiteral("lazy"));
    }

    const auto search = [this](const QString &text) {
        run(QStringLiteral("var s = document.getElementById('search'); s.value = %1;"
                           "s.dispatchEvent(new Event('input'));")
                .arg(QString::fromUtf8(
                    QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact).mid(1).chopped(1))));
        return run(QStringLiteral("Array.from(document.querySelectorAll('.cell')).filter(c => !c.hidden)"
                                  ".map(c => c.querySelector('.name').textContent)"))
            .toStringList();
    };
    EXPECT_EQ(search(QStringLiteral("alpha")), QStringList{names.at(0)});
    EXPECT_EQ(search(QStringLiteral("ＢＥＴＡ")), QStringList{names.at(1)});
    EXPECT_EQ(search(QStringLiteral("🎬")), QStringList{names.at(3)});
    EXPECT_EQ(search(QStringLiteral("eta")), (QStringList{names.at(1), names.at(6), names.at(7)}));
    EXPECT_TRUE(run(QStringLiteral("document.getElementById('nothing').hidden")).toBool());
    EXPECT_TRUE(search(QStringLiteral("没有这部")).isEmpty());
    EXPECT_FALSE(run(QStringLiteral("document.getElementById('nothing').hidden")).toBool());
    EXPECT_EQ(search(QString()).size(), names.size());
}

TEST_F(ModernSite, APlayPagePlaysAClickFollowsWithTheNextEpisodeAndOffersToResume)
{
    makeSeries(QStringLiteral("庆余年"));
    generateSite();

    for (const QSize &screen : Screens) {
        ASSERT_TRUE(open(QStringLiteral("Data/庆余年.html"), screen));
        EXPECT_FALSE(scrollsSideways()) << screen.width();
        if (screen.width() < 500) {
            EXPECT_GE(smallestText(), 14);
            EXPECT_GE(run(QStringLiteral("document.getElementById('video1').getBoundingClientRect().width"))
                          .toDouble(),
                      390 - 32 - 1);
        }
        // The over-long name is shortened with its whole name as tooltip;
        // the others show whole.
        EXPECT_TRUE(run(QStringLiteral("var n = document.querySelector('[data-n=\"3\"] .name');"
                                       "n.scrollWidth > n.clientWidth"))
                        .toBool());
        EXPECT_EQ(run(QStringLiteral("document.querySelector('[data-n=\"3\"]').title")).toString(), LongName);
        EXPECT_FALSE(run(QStringLiteral("var m = document.querySelector('[data-n=\"2\"] .name');"
                                        "m.scrollWidth > m.clientWidth"))
                         .toBool());
    }
    EXPECT_EQ(run(QStringLiteral("document.querySelector('[data-n=\"1\"] .length').textContent")).toString(),
              QStringLiteral("0:02"));

    run(QStringLiteral("document.querySelector('[data-n=\"1\"]').click()"));
    EXPECT_TRUE(waitFor(QStringLiteral("document.getElementById('video1').currentTime > 0.3")));
    EXPECT_EQ(run(QStringLiteral("document.title")).toString(), QStringLiteral("第1集 - 庆余年"));
    EXPECT_EQ(run(QStringLiteral("document.querySelector('[aria-current=\"true\"]').dataset.n")).toString(),
              QStringLiteral("1"));

    // At its end the next one follows, and the first counts as watched;
    // the next one's note says why its sound may be missing.
    run(QStringLiteral("var v = document.getElementById('video1'); v.currentTime = v.duration - 0.2;"));
    EXPECT_TRUE(waitFor(QStringLiteral("document.title === '第2集 - 庆余年' && "
                                       "document.getElementById('video1').currentTime > 1")));
    EXPECT_TRUE(run(QStringLiteral("document.querySelector('[data-n=\"1\"]').classList.contains('watched')"))
                    .toBool());
    EXPECT_EQ(run(QStringLiteral("document.getElementById('note').textContent")).toString(),
              QStringLiteral("此视频在浏览器中播放没有声音(AC-3 音频)"));
    run(QStringLiteral("document.getElementById('video1').pause()"));

    // A reload offers to go on where the viewer stopped.
    const double stopped = run(QStringLiteral("document.getElementById('video1').currentTime")).toDouble();
    ASSERT_TRUE(open(QStringLiteral("Data/庆余年.html")));
    EXPECT_TRUE(run(QStringLiteral("document.querySelector('[data-n=\"1\"]').classList.contains('watched')"))
                    .toBool());
    const QString offer = run(QStringLiteral("var r = document.getElementById('resume');"
                                             "r.hidden ? '' : r.textContent"))
                              .toString();
    EXPECT_EQ(offer, QStringLiteral("继续播放 第2集 0:0%1").arg(int(stopped)));
    run(QStringLiteral("document.getElementById('resume').click()"));
    EXPECT_TRUE(
        waitFor(QStringLiteral("document.getElementById('video1').currentTime >= %1").arg(stopped - 0.05)));

    // Keys: N goes on, P goes back; the switch is remembered.
    run(QStringLiteral("document.dispatchEvent(new KeyboardEvent('keydown', {key: 'n'}))"));
    EXPECT_EQ(run(QStringLiteral("document.title")).toString(), QStringLiteral("第3集 - 庆余年"));
    run(QStringLiteral("document.dispatchEvent(new KeyboardEvent('keydown', {key: 'P'}))"));
    EXPECT_EQ(run(QStringLiteral("document.title")).toString(), QStringLiteral("第2集 - 庆余年"));
    run(QStringLiteral("var a = document.getElementById('autonext'); a.click();"));
    ASSERT_TRUE(open(QStringLiteral("Data/庆余年.html")));
    EXPECT_FALSE(run(QStringLiteral("document.getElementById('autonext').checked")).toBool());

    // The file browsers cannot play says so, with a link to the file.
    run(QStringLiteral("document.querySelector('[data-n=\"4\"]').click()"));
    EXPECT_FALSE(run(QStringLiteral("document.getElementById('blocked').hidden")).toBool());
    EXPECT_EQ(run(QStringLiteral("document.getElementById('blocked-text').textContent")).toString(),
              QStringLiteral("此视频无法在浏览器中播放(AVI 格式)"));
    EXPECT_TRUE(run(QStringLiteral("document.getElementById('blocked-link').href"))
                    .toString()
                    .endsWith(QStringLiteral("/movie/%E5%BA%86%E4%BD%99%E5%B9%B4/04%20old.avi")));
}

TEST_F(ModernSite, TheHomeLinkLeadsToTheSitesOwnIndexUnderASubPath)
{
    addProject(QStringLiteral("Tom's & Jerry"), QStringLiteral("movies/Tom"), {QStringLiteral("1.mp4")});
    generateSite();
    LoopbackHttpServer server;
    server.serveBody(QStringLiteral("/films/index.html"), space.readBytes(QStringLiteral("Web/index.html")),
                     "text/html; charset=utf-8");
    server.serveBody(QStringLiteral("/films/Data/Tom's%20%26%20Jerry.html"),
                     space.readBytes(QStringLiteral("Web/Data/Tom's & Jerry.html")),
                     "text/html; charset=utf-8");
    view.resize(Screens.last());
    ASSERT_TRUE(loadPage(*view.page(), QUrl(server.url(QStringLiteral("/films/index.html")))));
    run(QStringLiteral("document.querySelector('.cell a').click()"));
    EXPECT_TRUE(waitFor(QStringLiteral("document.title === '第1集 - Tom\\'s & Jerry'")));
    run(QStringLiteral("document.querySelector('a.home').click()"));
    EXPECT_TRUE(waitFor(QStringLiteral("document.title === '家庭影院'")));
    EXPECT_EQ(server.requestCount(QStringLiteral("/films/index.html")), 2);
}

TEST_F(ModernSite, FromAWebServerTheTracksLoadAsFilesShowAtTheirTimeAndTheChoiceIsKept)
{
    makeSeries(QStringLiteral("庆余年"));
    const QString folder = QStringLiteral("Web/movie/庆余年/");
    const auto srt = [](const char *text) {
        return QByteArray("1\n00:00:00,400 --> 00:00:01,200\n") + text + '\n';
    };
    space.writeBytes(folder + QStringLiteral("01 开端.chs.srt"), srt("第一句"));
    space.writeBytes(folder + QStringLiteral("01 开端.en.srt"), srt("First line"));
    space.writeBytes(folder + QStringLiteral("02 \"第二\" & more.en.srt"), srt("Second line"));
    generateSite();
    LoopbackHttpServer server;
    server.serveFolder(QStringLiteral("/"), space.path(QStringLiteral("Web")));
    view.resize(Screens.last());
    ASSERT_TRUE(loadPage(*view.page(), QUrl(server.url(QStringLiteral("/Data/庆余年.html")))));

    // What shows at a time of the video, "<track label>:<cue texts>", once
    // it is what is expected or the time is up.
    const auto expectShownAt = [this](double seconds, const QString &expected) {
        run(QStringLiteral("var v = document.getElementById('video1'); v.pause(); v.currentTime = %1;")
                .arg(seconds));
        const QString shown = QStringLiteral(
            "Array.from(document.getElementById('video1').textTracks).filter(t => t.mode === 'showing')"
            ".map(t => t.label + ':' + Array.from(t.activeCues || []).map(c => c.text).join('|')).join(',')");
        waitFor(QStringLiteral("(%1) === '%2'").arg(shown, expected));
        EXPECT_EQ(run(shown).toString(), expected) << seconds;
    };
    const auto choose = [this](const QString &label) {
        run(QStringLiteral("var s = document.getElementById('subtitle');"
                           "s.value = Array.from(s.options).find(o => o.text === '%1').value;"
                           "s.dispatchEvent(new Event('change'));")
                .arg(label));
    };
    const auto menu = [this] {
        return run(QStringLiteral("Array.from(document.getElementById('subtitle').options).map(o => o.text)"))
            .toStringList();
    };
    ASSERT_TRUE(waitFor(QStringLiteral("document.getElementById('video1').readyState >= 1")));
    EXPECT_EQ(menu(),
              (QStringList{QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("关")}));
    expectShownAt(0.8, QStringLiteral("简体中文:第一句"));
    expectShownAt(1.5, QStringLiteral("简体中文:"));
    choose(QStringLiteral("English"));
    expectShownAt(0.8, QStringLiteral("English:First line"));

    // The next episode brings its own tracks, in the language chosen.
    run(QStringLiteral("document.querySelector('[data-n=\"2\"]').click()"));
    ASSERT_TRUE(waitFor(QStringLiteral("document.getElementById('video1').readyState >= 1")));
    EXPECT_EQ(menu(), (QStringList{QStringLiteral("English"), QStringLiteral("关")}));
    EXPECT_EQ(run(QStringLiteral("document.getElementById('video1').textTracks.length")).toInt(), 1);
    expectShownAt(0.8, QStringLiteral("English:Second line"));

    // "关" is kept too; the third episode has no tracks and no menu.
    choose(QStringLiteral("关"));
    ASSERT_TRUE(loadPage(*view.page(), QUrl(server.url(QStringLiteral("/Data/庆余年.html")))));
    EXPECT_EQ(run(QStringLiteral("document.getElementById('subtitle').value")).toString(),
              QStringLiteral("-1"));
    run(QStringLiteral("tessaly.play(1)"));
    EXPECT_EQ(run(QStringLiteral("document.getElementById('subtitle').value")).toString(),
              QStringLiteral("-1"));
    run(QStringLiteral("tessaly.play(3)"));
    EXPECT_TRUE(run(QStringLiteral("document.getElementById('subtitle-choice').hidden")).toBool());

    // From a web server the tracks load as files, never as scripts.
    const QStringList requests = server.requests();
    EXPECT_TRUE(std::any_of(requests.cbegin(), requests.cend(),
                            [](const QString &target) { return target.endsWith(QStringLiteral(".vtt")); }));
    EXPECT_TRUE(std::none_of(requests.cbegin(), requests.cend(),
                             [](const QString &target) { return target.endsWith(QStringLiteral(".js")); }));
}
