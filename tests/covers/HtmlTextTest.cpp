#include "covers/HtmlText.h"

#include <gtest/gtest.h>

using namespace tessaly::covers;

TEST(CharacterReferences, DecodesNamedAndNumericOnes)
{
    EXPECT_EQ(decodeCharacterReferences(QStringLiteral("&amp;&lt;&gt;&quot;&#39;&apos;&nbsp;&#x41;&#66;")),
              QStringLiteral("&<>\"''\u00A0AB"));
    EXPECT_EQ(decodeCharacterReferences(QStringLiteral("&#x1F600;&#x10FFFF;")),
              QStringLiteral("😀") + QString::fromUcs4(U"\U0010FFFF", 1));
}

TEST(CharacterReferences, LeavesEverythingElseAlone)
{
    EXPECT_EQ(decodeCharacterReferences(QStringLiteral("a & b &unknown; &#; &#xZZ; &#55296; &#0; &amp")),
              QStringLiteral("a & b &unknown; &#; &#xZZ; &#55296; &#0; &amp"));
    EXPECT_EQ(decodeCharacterReferences(QStringLiteral("&amp;amp;")), QStringLiteral("&amp;"));
    // A ";" further away than the longest reference ends none.
    EXPECT_EQ(decodeCharacterReferences(QStringLiteral("&#x010FFFF; &&amp")),
              QStringLiteral("&#x010FFFF; &&amp"));
}

TEST(WebLinks, OnlyHttpAndHttpsWithAHost)
{
    EXPECT_TRUE(isWebLink(QStringLiteral("http://h/a.jpg")));
    EXPECT_TRUE(isWebLink(QStringLiteral("HTTPS://h/封面.jpg")));
    EXPECT_FALSE(isWebLink(QStringLiteral("file:///etc/passwd")));
    EXPECT_FALSE(isWebLink(QStringLiteral("javascript:alert(1)")));
    EXPECT_FALSE(isWebLink(QStringLiteral("data:image/png;base64,AAAA")));
    EXPECT_FALSE(isWebLink(QStringLiteral("/images/a.jpg")));
    EXPECT_FALSE(isWebLink(QStringLiteral("http:///a.jpg")));
    EXPECT_FALSE(isWebLink(QString()));
}

TEST(WebLinks, ALeadingDoubleSlashBecomesHttp)
{
    EXPECT_EQ(withSchemeForLeadingSlashes(QStringLiteral("//h/a//b")), QStringLiteral("http://h/a//b"));
    EXPECT_EQ(withSchemeForLeadingSlashes(QStringLiteral("https://h/a")), QStringLiteral("https://h/a"));
}
