#include "site/SiteFixture.h"
#include "site/WebCopyConversion.h"
#include "support/TestVideos.h"
#include "support/WebPageDriving.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class WebCopyPlaying : public SiteTest
{
protected:
    QWebEngineView view;
};

} // namespace

// The classic play page, published, plays the episode's web copy in the
// browser engine: on opening and from its button, through `movie/..`.
TEST_F(WebCopyPlaying, TheClassicPlayPagePlaysTheCopyInsteadOfTheOriginal)
{
    const QString site = space.makeFolder(QStringLiteral("site"));
    space.writeSiteSettings(space.path(QStringLiteral("m")), site, QString(), QStringLiteral("True"));
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"));
    MediaSample mkv;
    mkv.muxer = "matroska";
    ASSERT_TRUE(mkv.write(space.path(QStringLiteral("m/甲/第1集.mkv"))));
    files::Outcome<WebCopyConversion> conversion =
        WebCopyConversion::prepare(space.workspace(), projects.names(), {});
    ASSERT_TRUE(conversion);
    conversion->plan();
    ASSERT_TRUE(conversion->run(lines).succeeded());
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();

    view.page()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(loadPage(*view.page(), QUrl::fromLocalFile(site + QStringLiteral("/Data/甲.html"))));
    const QString copy =
        QUrl::fromLocalFile(site + QStringLiteral("/Video/甲/第1集.mkv.mp4")).toString(QUrl::FullyEncoded);
    const auto playsTheCopy = [&] {
        return waitForScript(
            *view.page(), QStringLiteral("myVid.currentSrc === '%1' && myVid.currentTime > 0.3").arg(copy));
    };
    evaluate(*view.page(), QStringLiteral("myVid.play()"));
    EXPECT_TRUE(playsTheCopy())
        << evaluate(*view.page(),
                    QStringLiteral("myVid.currentSrc + ' ' + (myVid.error && myVid.error.message)"))
               .toString()
               .toStdString();

    evaluate(*view.page(), QStringLiteral("myVid.pause(); scr1(); myVid.play()"));
    EXPECT_TRUE(playsTheCopy());
    EXPECT_EQ(
        evaluate(*view.page(), QStringLiteral("document.getElementById('Titel').textContent")).toString(),
        QStringLiteral("甲 第1集"));
}
