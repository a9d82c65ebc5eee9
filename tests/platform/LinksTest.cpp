#include "platform/Links.h"

#include <gtest/gtest.h>

using tessaly::urlForLink;

TEST(UrlForLink, TakesLinksAsAShellWould)
{
    EXPECT_EQ(urlForLink(QStringLiteral("http://192.168.1.5/movie/")),
              QUrl(QStringLiteral("http://192.168.1.5/movie/")));
    EXPECT_EQ(urlForLink(QStringLiteral("  https://site.example/ ")),
              QUrl(QStringLiteral("https://site.example/")));
    EXPECT_EQ(urlForLink(QStringLiteral("192.168.1.5/movie")).scheme(), QStringLiteral("http"));
    EXPECT_EQ(urlForLink(QStringLiteral("192.168.1.5/movie")).host(), QStringLiteral("192.168.1.5"));
    EXPECT_FALSE(urlForLink(QStringLiteral("http://影院.example/片")).isEmpty());
}

TEST(UrlForLink, EmptyOrUnusableLinksGiveNothing)
{
    EXPECT_TRUE(urlForLink(QString()).isEmpty());
    EXPECT_TRUE(urlForLink(QStringLiteral("   ")).isEmpty());
    EXPECT_TRUE(urlForLink(QStringLiteral("http://")).isEmpty());
    EXPECT_TRUE(urlForLink(QStringLiteral("http://bad host/")).isEmpty());
}
