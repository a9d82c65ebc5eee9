#include "files/TextFile.h"

#include "support/TempWorkspace.h"

#include <QStringDecoder>
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
    const files::Outcome<void> written =
        text::writeTextFile(ws.path(QStringLiteral("missing/a.txt")), QStringLiteral("x"));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().path, ws.path(QStringLiteral("missing/a.txt")));
    EXPECT_FALSE(written.failure().reason.isEmpty());
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
    const files::Outcome<QString> read = text::readWholeText(ws.path(QStringLiteral("t.html")));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, QStringLiteral("中\r\nx\n"));
    const files::Outcome<QString> none = text::readWholeText(ws.path(QStringLiteral("none.html")));
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().path, ws.path(QStringLiteral("none.html")));
    EXPECT_FALSE(none.failure().reason.isEmpty());
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

TEST(TextEncoding, MixedTextsEncodeAsTheConverterEncodesThem)
{
    // Runs of ASCII are encoded several characters at a time: a Chinese
    // character at every place in and after such a run must still come out
    // right, and so must the one character with a one-byte code above ASCII.
    QStringEncoder converter("windows-936");
    for (int run = 0; run < 20; ++run) {
        for (int at = 0; at <= run; ++at) {
            QString text = QString(run, u'a');
            for (int i = 0; i < run; ++i)
                text[i] = QChar(u'!' + i);
            text.insert(at, QStringLiteral("中"));
            text.append(QStringLiteral("€文\r\n"));
            ASSERT_EQ(text::encode(text), QByteArray(converter.encode(text))) << run << ' ' << at;
        }
    }
}

TEST(TextEncoding, AByteOrderMarkDecidesTheEncodingAndIsDropped)
{
    const QString name = QStringLiteral("名字A");
    EXPECT_EQ(text::decode("\xEF\xBB\xBF" + name.toUtf8()), name);
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar c : name) {
        little.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        big.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    EXPECT_EQ(text::decode(little), name);
    EXPECT_EQ(text::decode(big), name);
    // A second mark is a character of the text, not another mark.
    EXPECT_EQ(text::decode("\xEF\xBB\xBF\xEF\xBB\xBF"
                           "A"),
              QString(QChar(0xFEFF)) + u'A');
}

TEST(TextEncoding, BytesInvalidAfterAMarkMakeTheFileUndecodable)
{
    EXPECT_FALSE(text::decode("\xEF\xBB\xBF"
                              "\xD6\xD0")
                     .has_value())
        << "code page 936 after a UTF-8 mark";
    EXPECT_FALSE(text::decode("\xEF\xBB\xBF"
                              "\xE5\x90")
                     .has_value())
        << "cut-off UTF-8 character";
    EXPECT_FALSE(text::decode("\xEF\xBB\xBF"
                              "\xED\xA0\x80")
                     .has_value())
        << "encoded surrogate";
    EXPECT_FALSE(text::decode(QByteArray("\xFF\xFE"
                                         "A",
                                         3))
                     .has_value())
        << "odd UTF-16 length";
    EXPECT_FALSE(text::decode(QByteArray("\xFF\xFE\x00\xD8"
                                         "A\x00",
                                         6))
                     .has_value())
        << "lone surrogate";
}

// Every character of the basic plane, through the rule that reads the files
// back: these 81 have no code page 936 code, and their GB18030 bytes read
// back as other characters.
TEST(TextEncoding, EveryCharacterEitherComesBackWholeOrIsRefused)
{
    const QList<char32_t> unstorable{
        0x1f9,  0x1e3f, 0x2e81, 0x2e84, 0x2e88, 0x2e8b, 0x2e8c, 0x2e97, 0x2ea7, 0x2eaa, 0x2eae, 0x2eb3,
        0x2eb6, 0x2eb7, 0x2ebb, 0x2eca, 0x2ff0, 0x2ff1, 0x2ff2, 0x2ff3, 0x2ff4, 0x2ff5, 0x2ff6, 0x2ff7,
        0x2ff8, 0x2ff9, 0x2ffa, 0x2ffb, 0x303e, 0x3447, 0x3473, 0x359e, 0x360e, 0x361a, 0x3918, 0x396e,
        0x39cf, 0x39d0, 0x39df, 0x3a73, 0x3b4e, 0x3c6e, 0x3ce0, 0x4056, 0x415f, 0x4337, 0x43ac, 0x43b1,
        0x43dd, 0x44d6, 0x464c, 0x4661, 0x4723, 0x4729, 0x477c, 0x478d, 0x4947, 0x497a, 0x497d, 0x4982,
        0x4983, 0x4985, 0x4986, 0x499b, 0x499f, 0x49b6, 0x49b7, 0x4c77, 0x4c9f, 0x4ca0, 0x4ca1, 0x4ca2,
        0x4ca3, 0x4d13, 0x4d14, 0x4d15, 0x4d16, 0x4d17, 0x4d18, 0x4d19, 0x4dae};
    QString storable;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QString character{QChar{char16_t(c)}};
        const std::optional<QByteArray> bytes = text::encodeReadable(character);
        if (unstorable.contains(c)) {
            EXPECT_FALSE(bytes.has_value()) << std::hex << unsigned(c);
            EXPECT_FALSE(text::hasOnlyStorableCharacters(QStringLiteral("a") + character))
                << std::hex << unsigned(c);
            continue;
        }
        ASSERT_TRUE(bytes.has_value()) << std::hex << unsigned(c);
        ASSERT_EQ(text::decode(*bytes), character) << std::hex << unsigned(c);
        storable += character;
    }
    // Together, too: the file is read as one text, not character by character.
    const std::optional<QByteArray> all = text::encodeReadable(storable);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(text::decode(*all), storable);
}

namespace {

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

// Real names, saved without a mark by an editor that uses UTF-8 and by one
// that uses code page 936. Some short code page 936 names happen to be valid
// UTF-8 too, of Latin, Greek, Cyrillic or Arabic letters.
TEST(TextEncoding, UnmarkedUtf8OfEastAsianTextIsReadAsUtf8AndCodePage936StaysCodePage936)
{
    const QStringList names{QStringLiteral("鲁迅"),           QStringLiteral("唯一"),
                            QStringLiteral("学习"),           QStringLiteral("茅台"),
                            QStringLiteral("影院"),           QStringLiteral("史诗"),
                            QStringLiteral("俪影"),           QStringLiteral("中"),
                            QStringLiteral("大话西游"),       QStringLiteral("甄嬛传 第1季"),
                            QStringLiteral("还珠格格（一）"), QStringLiteral("大長今 대장금")};
    for (const QString &name : names) {
        const QString fileText = name + QStringLiteral("\r\nB\r\n");
        text::Encoding encoding = text::Encoding::CodePage936;
        EXPECT_EQ(text::decode(fileText.toUtf8(), &encoding), fileText) << name.toStdString();
        EXPECT_EQ(encoding, text::Encoding::Utf8WithoutMark) << name.toStdString();

        const QByteArray codePage936 = text::encode(fileText);
        encoding = text::Encoding::Utf8WithoutMark;
        EXPECT_EQ(text::decode(codePage936, &encoding), fileText) << name.toStdString();
        EXPECT_EQ(encoding, text::Encoding::CodePage936) << name.toStdString();
    }
    // The table holds names whose code page 936 bytes are UTF-8 as well.
    for (const QString &name : names.mid(0, 7))
        EXPECT_TRUE(isValidUtf8(text::encode(name))) << name.toStdString();

    // Characters beyond the basic plane count as East Asian; a two-byte
    // UTF-8 character, a lone mark character or a bad sequence keeps the
    // file code page 936, as before.
    text::Encoding encoding = text::Encoding::CodePage936;
    EXPECT_EQ(text::decode(QStringLiteral("𠀀😀").toUtf8(), &encoding), QStringLiteral("𠀀😀"));
    EXPECT_EQ(encoding, text::Encoding::Utf8WithoutMark);
    EXPECT_EQ(text::decode(QByteArray("\xC3\xA9\xC3\xA9")), QStringLiteral("茅茅"));
    encoding = text::Encoding::Utf8WithoutMark;
    EXPECT_EQ(text::decode(QStringLiteral("电影é").toUtf8(), &encoding), QStringLiteral("鐢靛奖茅"));
    EXPECT_EQ(encoding, text::Encoding::CodePage936) << "a Latin letter beside the Chinese ones";
    text::decode(QByteArray("\xF0\x82\x82\xAC"), &encoding);
    EXPECT_EQ(encoding, text::Encoding::CodePage936) << "overlong form";
    text::decode(QByteArray("ASCII only"), &encoding);
    EXPECT_EQ(encoding, text::Encoding::CodePage936);
}

TEST(TextEncoding, AnUnmarkedUtf8FileIsWrittenBackAsUtf8WhileItReadsBackSo)
{
    const QString chinese = QStringLiteral("大话西游\r\n鲁迅\r\n");
    EXPECT_EQ(text::encodeReadable(chinese, text::Encoding::Utf8WithoutMark), chinese.toUtf8());
    EXPECT_EQ(text::encodeReadable(chinese), text::encode(chinese));
    // As UTF-8 this would read back as code page 936, garbled: it is written
    // in code page 936 instead, which reads back whole.
    const QString latin = chinese + QStringLiteral("Amélie\r\n");
    const std::optional<QByteArray> bytes = text::encodeReadable(latin, text::Encoding::Utf8WithoutMark);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, text::encode(latin));
    EXPECT_EQ(text::decode(*bytes), latin);
}
