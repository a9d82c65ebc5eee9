#include "covers/PageDecoding.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace tessaly::covers;

namespace {

QByteArray gb18030(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

const QString Title = QStringLiteral("封面搜索");

} // namespace

TEST(PageDecoding, ContentTypeCharsetComesFirst)
{
    const QByteArray page = "<meta charset=\"utf-8\">" + gb18030(Title);
    EXPECT_EQ(pageCharset(page, "text/html; charset=GBK"), QStringLiteral("GB18030"));
    EXPECT_TRUE(decodePage(page, "text/html; charset=\"gb2312\"").endsWith(Title));
}

TEST(PageDecoding, ChineseLabelsAllReadAsGb18030)
{
    for (const char *label : {"gb2312", "GBK", "x-gbk", "gb18030"})
        EXPECT_EQ(pageCharset({}, QByteArray("text/html;charset=") + label), QStringLiteral("GB18030"))
            << label;
}

TEST(PageDecoding, ByteOrderMarkThenMetaThenUtf8)
{
    EXPECT_EQ(decodePage("\xEF\xBB\xBF" + Title.toUtf8(), "text/html"), Title);
    const QByteArray utf16 =
        QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(Title.utf16()), Title.size() * 2);
    EXPECT_EQ(decodePage(utf16, {}), Title);
    const QByteArray meta =
        "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=gb2312\">"
        "</head><body>" +
        gb18030(Title) + "</body></html>";
    EXPECT_TRUE(decodePage(meta, "text/html").contains(Title));
    EXPECT_EQ(pageCharset("<meta charset='gbk' />", {}), QStringLiteral("GB18030"));
    EXPECT_EQ(decodePage(Title.toUtf8(), {}), Title);
}

TEST(PageDecoding, UnknownLabelsFallBackToUtf8)
{
    EXPECT_EQ(pageCharset(Title.toUtf8(), "text/html; charset=no-such-charset"), QStringLiteral("UTF-8"));
    EXPECT_EQ(decodePage(Title.toUtf8(), "text/html; charset=no-such-charset"), Title);
    EXPECT_EQ(pageCharset("<meta charset=\"bogus\">", {}), QStringLiteral("UTF-8"));
}

TEST(PageDecoding, BinaryGarbageDecodesWithoutFailing)
{
    QByteArray garbage;
    for (int i = 0; i < 1 << 20; ++i)
        garbage.append(char((i * 7919) & 0xFF));
    EXPECT_FALSE(decodePage(garbage, "text/html; charset=gbk").isEmpty());
    EXPECT_FALSE(decodePage(garbage, {}).isEmpty());
}

TEST(PageDecoding, OnlyLabelsBrowsersKnowCount)
{
    // Labels a converter library knows but browsers do not.
    for (const char *label : {"utf-7", "unicode", "csunicode", "unicode-1-1", "ucs-4", "cp936", "euc-cn"})
        EXPECT_EQ(pageCharset(Title.toUtf8(), QByteArray("text/html; charset=") + label),
                  QStringLiteral("UTF-8"))
            << label;
    EXPECT_EQ(decodePage(Title.toUtf8(), "text/html; charset=utf-7"), Title);

    // One label of every encoding browsers read, each one decodable here.
    for (const char *label :
         {"ibm866",   "latin2",      "latin3",  "latin4",    "cyrillic",        "arabic",  "greek",
          "hebrew",   "logical",     "latin6",  "iso885913", "iso885914",       "l9",      "koi",
          "koi8-u",   "mac",         "tis-620", "cp1250",    "cp1251",          "cp1253",  "latin5",
          "cp1255",   "cp1256",      "cp1257",  "cp1258",    "x-mac-ukrainian", "chinese", "big5",
          "x-euc-jp", "csiso2022jp", "sjis",    "korean",    "utf-16be",        "utf-16"}) {
        const QString name = pageCharset({}, QByteArray("text/html; charset=") + label);
        EXPECT_NE(name, QStringLiteral("UTF-8")) << label;
    }
    // As browsers do, Latin-1 and ASCII labels read as windows-1252.
    EXPECT_EQ(decodePage("\x80", "text/html; charset=ISO-8859-1"), QStringLiteral("\u20AC"));
    EXPECT_EQ(pageCharset("<meta charset=' US-ASCII '>", {}), QStringLiteral("windows-1252"));
}
