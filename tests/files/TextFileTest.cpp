#include "files/TextFile.h"

#include "support/TempWorkspace.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

TEST(TextEncoding, WritesCodePage936ForChineseText)
{
    EXPECT_EQ(text::encode(QStringLiteral("中文A")), QByteArray("\xd6\xd0\xce\xc4"
                                                                "A"));
    // The euro sign is the one single byte above ASCII in code page 936.
    EXPECT_EQ(text::encode(QStringLiteral("€")), QByteArray("\x80"));
}

TEST(TextEncoding, FallsBackToGb18030WhenCodePage936CannotCarryTheText)
{
    const QString text = QStringLiteral("中😀한");
    const QByteArray bytes = text::encode(text);
    // The Chinese character keeps its code page 936 bytes; nothing is lost.
    EXPECT_TRUE(bytes.startsWith("\xd6\xd0"));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(text::decode(bytes), text);
}

TEST(TextEncoding, RefusesBytesThatNeitherCodePageDecodes)
{
    EXPECT_FALSE(text::decode(QByteArray("\xff\xfe\xff", 3)).has_value());
    EXPECT_FALSE(text::decode(QByteArray("abc\xd6", 4)).has_value()); // cut-off last character
    EXPECT_EQ(text::decode(QByteArray()), QString());
}

TEST(TextFiles, WritingAddsOneCrLfAndReplacesTheFile)
{
    TempWorkspace ws;
    const QString file = ws.path(QStringLiteral("a.txt"));
    ASSERT_TRUE(text::writeTextFile(file, QStringLiteral("A")));
    EXPECT_EQ(ws.readBytes(QStringLiteral("a.txt")), QByteArray("A\r\n"));
    ASSERT_TRUE(text::writeTextFile(file, QString()));
    EXPECT_EQ(ws.readBytes(QStringLiteral("a.txt")), QByteArray("\r\n"));
}

TEST(TextFiles, AFailedWriteReportsItsReasonAndKeepsNothingHalfWritten)
{
    TempWorkspace ws;
    QString reason;
    EXPECT_FALSE(text::writeTextFile(ws.path(QStringLiteral("missing/a.txt")), QStringLiteral("x"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(ws.exists(QStringLiteral("missing")));
}

TEST(TextFiles, ReadsLinesWhateverTheLineEnds)
{
    EXPECT_EQ(
        text::splitLines(QStringLiteral("a\r\nb\nc\rd")),
        (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(text::splitLines(QStringLiteral("a\r\n\r\nb\r\n")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(text::splitLines(QString()).isEmpty());
}

TEST(TextFiles, ReadWholeKeepsLineEndsAndDecodes)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("t.html"), QByteArray("\xd6\xd0\r\nx\n"));
    EXPECT_EQ(text::readWholeText(ws.path(QStringLiteral("t.html"))), QStringLiteral("中\r\nx\n"));
    QString reason;
    EXPECT_FALSE(text::readWholeText(ws.path(QStringLiteral("none.html")), &reason).has_value());
    EXPECT_FALSE(reason.isEmpty());
}

TEST(TextEncoding, EveryCharacterEncodesAsTheConverterEncodesIt)
{
    // The encoder looks characters up in a table made once from the
    // converter; this checks the table against the converter itself.
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QString text{QChar{char16_t(c)}};
        QStringEncoder converter("windows-936");
        const QByteArray expected = converter.encode(text);
        if (converter.hasError()) {
            QStringEncoder wide("GB18030");
            ASSERT_EQ(text::encode(text), wide.encode(text)) << std::hex << unsigned(c);
            continue;
        }
        ASSERT_EQ(text::encode(text), expected) << std::hex << unsigned(c);
    }
}
