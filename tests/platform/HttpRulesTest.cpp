#include "platform/Http.h"

#include <gtest/gtest.h>

using tessaly::isAllowedRedirect;
using tessaly::isFetchableUrl;

TEST(HttpRules, OnlyWebLinksWithAHostAreFetched)
{
    EXPECT_TRUE(isFetchableUrl(QUrl("http://127.0.0.1:8080/a")));
    EXPECT_TRUE(isFetchableUrl(QUrl("https://h/封面")));
    EXPECT_FALSE(isFetchableUrl(QUrl("file:///etc/passwd")));
    EXPECT_FALSE(isFetchableUrl(QUrl("ftp://h/a")));
    EXPECT_FALSE(isFetchableUrl(QUrl("/relative")));
    EXPECT_FALSE(isFetchableUrl(QUrl()));
}

TEST(HttpRules, RedirectsNeverLeaveTheWebNorDropHttps)
{
    EXPECT_TRUE(isAllowedRedirect(QUrl("http://a/"), QUrl("https://b/")));
    EXPECT_TRUE(isAllowedRedirect(QUrl("http://a/"), QUrl("http://b/")));
    EXPECT_TRUE(isAllowedRedirect(QUrl("https://a/"), QUrl("https://b/")));
    EXPECT_FALSE(isAllowedRedirect(QUrl("https://a/"), QUrl("http://b/")));
    EXPECT_FALSE(isAllowedRedirect(QUrl("http://a/"), QUrl("file:///etc/passwd")));
    EXPECT_FALSE(isAllowedRedirect(QUrl("http://a/"), QUrl("data:text/plain,x")));
}
