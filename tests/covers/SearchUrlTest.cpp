#include "covers/SearchUrl.h"

#include <QUrl>
#include <gtest/gtest.h>

using namespace tessaly::covers;

TEST(UTF8EncodeURI, LeavesAsciiAndEncodesTheRestAsUtf8)
{
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("封面")), QStringLiteral("%E5%B0%81%E9%9D%A2"));
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("é")), QStringLiteral("%C3%A9"));
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("a b%&#+=?")), QStringLiteral("a b%&#+=?"));
    EXPECT_EQ(UTF8EncodeURI(QString()), QString());
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x7FF))), QStringLiteral("%DF%BF"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x800))), QStringLiteral("%E0%A0%80"));
}

TEST(UTF8EncodeURI, EncodesCharactersAboveTheBasicPlaneAsFourOctets)
{
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("😀")), QStringLiteral("%F0%9F%98%80"));
    const QString loneHigh(QChar(0xD83D));
    const QString loneLow(QChar(0xDE00));
    EXPECT_EQ(UTF8EncodeURI(loneHigh + QStringLiteral("a")), QStringLiteral("%EF%BF%BDa"));
    EXPECT_EQ(UTF8EncodeURI(loneLow + loneHigh), QStringLiteral("%EF%BF%BD%EF%BF%BD"));
}

TEST(KeywordEncoding, EscapesWhatWouldChangeTheUrl)
{
    EXPECT_EQ(encodeKeyword(QStringLiteral("A B")), QStringLiteral("A%20B"));
    EXPECT_EQ(encodeKeyword(QStringLiteral("A#B")), QStringLiteral("A%23B"));
    EXPECT_EQ(encodeKeyword(QStringLiteral("A&B")), QStringLiteral("A%26B"));
    EXPECT_EQ(encodeKeyword(QStringLiteral("%+?/\t\x7f")), QStringLiteral("%25%2B%3F%2F%09%7F"));
    EXPECT_EQ(encodeKeyword(QStringLiteral("封面=1")), QStringLiteral("封面=1"));
}

TEST(SearchUrls, BothDialogsPutTheSameBytesOnTheWire)
{
    const QString fetch = QStringLiteral("https://host/search_[[Title]]/");
    const QString browser = QStringLiteral("http://host/search.html?wd=[[Title]]&submit=");
    EXPECT_EQ(browserSearchUrl(browser, QStringLiteral("A B")),
              QStringLiteral("http://host/search.html?wd=A%20B&submit="));
    EXPECT_EQ(browserSearchUrl(browser, QStringLiteral("A&B")),
              QStringLiteral("http://host/search.html?wd=A%26B&submit="));
    EXPECT_EQ(browserSearchUrl(browser, QStringLiteral("封面")),
              QStringLiteral("http://host/search.html?wd=%E5%B0%81%E9%9D%A2&submit="));
    EXPECT_EQ(browserSearchUrl(browser, QString()), QStringLiteral("http://host/search.html?wd=&submit="));
    EXPECT_EQ(QUrl(fetchSearchUrl(fetch, QStringLiteral("封面 A#B"))).toEncoded(),
              QByteArray("https://host/search_%E5%B0%81%E9%9D%A2%20A%23B/"));
}

TEST(SearchUrls, PlaceholderIsCaseSensitiveAndReplacedEverywhere)
{
    EXPECT_EQ(fillSearchTemplate(QStringLiteral("[[Title]]/[[title]]/[[Title]]"), QStringLiteral("k")),
              QStringLiteral("k/[[title]]/k"));
}
