#include "site/PageValues.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tessaly;

TEST(PageValues, UrlPiecesEncodeOnlyWhatBreaksAPathAndNothingTwice)
{
    EXPECT_EQ(page::urlPathPiece(QStringLiteral("/A B/中文's.mp4")), QStringLiteral("/A B/中文's.mp4"));
    EXPECT_EQ(page::urlPathPiece(QStringLiteral("%41#?\"\\<>&amp;")),
              QStringLiteral("%2541%23%3F%22%5C%3C%3E%26amp;"));
    EXPECT_EQ(page::urlPathPiece(QString(QChar(0x01)) + QChar(0x1F)), QStringLiteral("%01%1F"));
}

TEST(PageValues, AFileNameIsLinkedByItsOwnBytes)
{
    // A leading byte-order mark is valid UTF-8 but lost in decoding: the
    // name keeps it as bytes. A name decoded by the listing gives the same.
    for (const QByteArray &name : {QByteArray("中 #.mp4"),
                                   QByteArray("\xEF\xBB\xBF"
                                              "a #.mp4"),
                                   QByteArray("\xB5\xDA"
                                              "1 #.mp4")}) {
        EXPECT_EQ(page::fileNameUrlPiece(name, QFile::decodeName(name)), page::fileNameUrlPiece(name));
    }
    EXPECT_EQ(page::fileNameUrlPiece("中 #.mp4"), QStringLiteral("中 %23.mp4"));
    EXPECT_EQ(page::fileNameUrlPiece("\xEF\xBB\xBF"
                                     "a #.mp4"),
              QStringLiteral("%EF%BB%BFa %23.mp4"));
    EXPECT_EQ(page::fileNameUrlPiece("\xB5\xDA"
                                     "1 #.mp4"),
              QStringLiteral("%B5%DA1 %23.mp4"));
}

TEST(PageValues, HtmlAndScriptEscapes)
{
    EXPECT_EQ(page::htmlEscaped(QStringLiteral("a&b<c>\"d'")), QStringLiteral("a&amp;b&lt;c&gt;&quot;d'"));
    EXPECT_EQ(page::scriptEscaped(QStringLiteral("\\'\"</script>")),
              QStringLiteral("\\\\\\'\\\"\\x3C/script>"));
    EXPECT_EQ(page::scriptEscaped(QStringLiteral("a\r\nb") + QChar(0x2028) + QChar(0x2029)),
              QStringLiteral("a\\r\\nb\\u2028\\u2029"));
}

TEST(PageValues, RelativeFolderPathRemovesTheRootOnlyAsAWholeLeadingFolder)
{
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/m/A/B"), QStringLiteral("/m")),
              QStringLiteral("/A/B"));
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/m"), QStringLiteral("/m")), QString());
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/mm/A"), QStringLiteral("/m")),
              QStringLiteral("/mm/A"));
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/x/m/A/m/B"), QStringLiteral("/m")),
              QStringLiteral("/x/m/A/m/B"));
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/A"), QStringLiteral("/")), QStringLiteral("/A"));
    EXPECT_EQ(page::relativeFolderPath(QStringLiteral("/A"), QString()), QStringLiteral("/A"));
}
