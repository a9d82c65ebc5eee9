#include "covers/CoverScan.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace tessaly::covers;

namespace {

QString imageTag(const QString &link, const QString &title)
{
    return QStringLiteral("<img src=\"/s.gif\" data-src=\"%1\" width=\"120\" title=\"%2\" />")
        .arg(link, title);
}

} // namespace

TEST(ImageTagScan, CutsLinkAndTitleOfAnAcceptedTag)
{
    const QString page = QStringLiteral("<html><body><p>x</p>") +
                         imageTag("//img.example/a/b.jpg", "封面 一") + QStringLiteral("</body></html>");
    const QList<CoverCandidate> rows = scanImageTags(page);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("封面 一"));
    EXPECT_EQ(rows[0].link, QStringLiteral("http://img.example/a/b.jpg"));
}

TEST(ImageTagScan, KeepsPageOrderAndDuplicates)
{
    const QString page =
        imageTag("http://h/1.jpg", "A") + imageTag("http://h/2.jpg", "B") + imageTag("http://h/1.jpg", "A");
    const QList<CoverCandidate> rows = scanImageTags(page);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1], (CoverCandidate{"B", "http://h/2.jpg"}));
    EXPECT_EQ(rows[2], rows[0]);
}

TEST(ImageTagScan, OnlyALeadingDoubleSlashGetsAScheme)
{
    EXPECT_EQ(scanImageTags(imageTag("https://h/a//b.jpg", "T"))[0].link,
              QStringLiteral("https://h/a//b.jpg"));
    EXPECT_EQ(scanImageTags(imageTag("//h/a//b.jpg", "T"))[0].link, QStringLiteral("http://h/a//b.jpg"));
}

TEST(ImageTagScan, DecodesCharacterReferencesInTitleAndLink)
{
    const QList<CoverCandidate> rows = scanImageTags(
        imageTag("http://h/p?a=1&amp;b=2", "Tom &amp; Jerry &#39;&#x4E2D;&#25991;&lt;&gt;&quot;"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].link, QStringLiteral("http://h/p?a=1&b=2"));
    EXPECT_EQ(rows[0].title, QStringLiteral("Tom & Jerry '中文<>\""));
}

TEST(ImageTagScan, TagsMissingAMarkerAddNothing)
{
    EXPECT_TRUE(scanImageTags(QStringLiteral("<html><body>no pictures</body></html>")).isEmpty());
    EXPECT_TRUE(scanImageTags(QStringLiteral("<img src=\"a.jpg\" width=\"1\" title=\"T\">")).isEmpty());
    EXPECT_TRUE(scanImageTags(QStringLiteral("<img data-src=\"a.jpg\" title=\"T\">")).isEmpty());
    // Skipped tags do not stop the scan.
    const QString page = QStringLiteral("<img src=\"a.jpg\" width=\"1\">") + imageTag("http://h/x.jpg", "X");
    EXPECT_EQ(scanImageTags(page).size(), 1);
}

TEST(ImageTagScan, ATagThatCannotBeCutEndsTheScanKeepingEarlierRows)
{
    const QString withoutTitle = QStringLiteral("<img src=\"s\" data-src=\"http://h/2.jpg\" width=\"1\" />");
    const QString page =
        imageTag("http://h/1.jpg", "One") + withoutTitle + imageTag("http://h/3.jpg", "Three");
    const QList<CoverCandidate> rows = scanImageTags(page);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("One"));

    // A value closed by the tag's last character has lost its quote.
    EXPECT_TRUE(scanImageTags(QStringLiteral("<img src=s width=1 data-src=\"http://h/a.jpg\">")).isEmpty());
    // An "<img" with no ">" after it.
    EXPECT_EQ(scanImageTags(imageTag("http://h/1.jpg", "One") + QStringLiteral("<img src=\"x")).size(), 1);
    // A link whose closing quote is missing runs on to the next quote.
    const QList<CoverCandidate> runOn =
        scanImageTags(QStringLiteral("<img src=s data-src=\"http://h/a.jpg width=1 title=\"T\" />"));
    ASSERT_EQ(runOn.size(), 1);
    EXPECT_EQ(runOn[0].link, QStringLiteral("http://h/a.jpg width=1 title="));
}

TEST(ImageTagScan, SurvivesHostilePages)
{
    QString many;
    for (int i = 0; i < 100000; ++i)
        many += imageTag(QStringLiteral("http://h/%1.jpg").arg(i), QStringLiteral("T%1").arg(i));
    const QList<CoverCandidate> rows = scanImageTags(many);
    ASSERT_EQ(rows.size(), 100000);
    EXPECT_EQ(rows.last().title, QStringLiteral("T99999"));

    const QString huge = QStringLiteral("<img ") + QString(8 * 1024 * 1024, u'x');
    EXPECT_TRUE(scanImageTags(huge).isEmpty());
    const QString unclosed = QString(QStringLiteral("<img ")).repeated(200000);
    EXPECT_TRUE(scanImageTags(unclosed).isEmpty());
}

namespace {

// A megabyte of the pieces both scans cut at, in random order and mixed with
// random characters; the seed is fixed so that a failure can be replayed.
QString shuffledMarkup()
{
    const QStringList pieces = {
        "<img",           "<a ",  ">",     "\"", " ",   "src=", "data-src=", "width=", "title=",
        "data-original=", "href", "&amp;", "&#", "&#x", ";",    "/",         "//"};
    QRandomGenerator random(20241209);
    QString markup;
    while (markup.size() < (1 << 20)) {
        if (random.bounded(3) == 0)
            markup += QChar(char16_t(random.bounded(1, 0x10000)));
        else
            markup += pieces.at(random.bounded(int(pieces.size())));
    }
    return markup;
}

} // namespace

TEST(CoverScans, RandomMarkupGivesAtMostARowPerTagAndKeepsTheRowsBeforeIt)
{
    const QString garbage = shuffledMarkup();
    const QList<CoverCandidate> good = {{"A", "http://h/a.jpg"}, {"B", "http://h/b.jpg"}};

    const QList<CoverCandidate> images =
        scanImageTags(imageTag("http://h/a.jpg", "A") + imageTag("http://h/b.jpg", "B") + garbage);
    ASSERT_GE(images.size(), 2);
    EXPECT_EQ(images.mid(0, 2), good);
    EXPECT_LE(images.size(), 2 + garbage.count(QStringLiteral("<img")));

    const QString anchors = QStringLiteral("<a title=\"A\" href=\"/a\" data-original=\"http://h/a.jpg\">"
                                           "<a title=\"B\" href=\"/b\" data-original=\"http://h/b.jpg\">");
    const QList<CoverCandidate> browser = scanBrowserMarkup(anchors + garbage);
    ASSERT_GE(browser.size(), 2);
    EXPECT_EQ(browser.mid(0, 2), (QList<CoverCandidate>{{"A ", "http://h/a.jpg"}, {"B ", "http://h/b.jpg"}}));
    EXPECT_LE(browser.size(), 2 + garbage.count(QStringLiteral("title=")));
}

TEST(BrowserMarkupScan, TitleHrefAndDataOriginalGiveARow)
{
    const QString markup = QStringLiteral(
        "<div><a title=\"封面 标题\" href=\"/v/1.html\" data-original=\"http://img.h/1.jpg\"></a></div>");
    const QList<CoverCandidate> rows = scanBrowserMarkup(markup);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("封面 标题 "));
    EXPECT_EQ(rows[0].link, QStringLiteral("http://img.h/1.jpg"));
}

TEST(BrowserMarkupScan, KeepsAttributesAfterDataOriginalAndDecodesReferences)
{
    const QString markup = QStringLiteral(
        "<a title=\"A&amp;B\" href=\"/x\" data-original=\"http://h/p?a=1&amp;b=2\" class=\"lazy\">");
    const QList<CoverCandidate> rows = scanBrowserMarkup(markup);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("A&B "));
    EXPECT_EQ(rows[0].link, QStringLiteral("http://h/p?a=1&b=2 class=lazy"));
}

TEST(BrowserMarkupScan, TitlesWithoutDataOriginalAreSkipped)
{
    const QString markup = QStringLiteral("<title>x</title><a title=\"No\" href=\"/n\">"
                                          "<a title=\"Yes\" href=\"/y\" data-original=\"http://h/y.jpg\">");
    const QList<CoverCandidate> rows = scanBrowserMarkup(markup);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].title, QStringLiteral("Yes "));
}

TEST(BrowserMarkupScan, MarkupThatCannotBeCutKeepsEarlierRows)
{
    const QString good = QStringLiteral("<a title=\"One\" href=\"/1\" data-original=\"http://h/1.jpg\">");
    EXPECT_EQ(scanBrowserMarkup(good + QStringLiteral("<a title=\"no end")).size(), 1);
    EXPECT_EQ(
        scanBrowserMarkup(good + QStringLiteral("<a title=\"T\" data-original=\"http://h/2.jpg\">") + good)
            .size(),
        1);
    EXPECT_TRUE(scanBrowserMarkup(QString()).isEmpty());
}

TEST(BrowserMarkupScan, SurvivesHostileMarkup)
{
    QString many;
    for (int i = 0; i < 100000; ++i)
        many += QStringLiteral("<a title=\"T%1\" href=\"/%1\" data-original=\"http://h/%1.jpg\">").arg(i);
    EXPECT_EQ(scanBrowserMarkup(many).size(), 100000);
    EXPECT_TRUE(scanBrowserMarkup(QStringLiteral("title=") + QString(8 * 1024 * 1024, u'y')).isEmpty());
    EXPECT_TRUE(scanBrowserMarkup(QString(QStringLiteral("title=")).repeated(300000)).isEmpty());
}

TEST(CoverScans, ATitleOfAmpersandsAsLongAsAPageMayBeIsScannedInOnePass)
{
    // A scan that searched the rest of the text for every "&" would take
    // hours over the largest page a search accepts.
    const QString ampersands(8 * 1024 * 1024, u'&');
    const QList<CoverCandidate> images =
        scanImageTags(QStringLiteral("<img src=\"/s.gif\" data-src=\"//h/a.jpg\" width=\"1\" title=\"") +
                      ampersands + QStringLiteral("\" />"));
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.first().title.size(), ampersands.size());
    const QList<CoverCandidate> anchors =
        scanBrowserMarkup(QStringLiteral("<a title=\"") + ampersands +
                          QStringLiteral("\" href=\"/v\" data-original=\"http://h/a.jpg\">"));
    ASSERT_EQ(anchors.size(), 1);
    EXPECT_TRUE(anchors.first().title.startsWith(ampersands));
}
