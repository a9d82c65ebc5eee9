#include "site/Subtitles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <utility>

using namespace tessaly;

namespace {

QByteArray subtitleData(const QString &name)
{
    QFile file(QStringLiteral(TESSALY_TEST_DATA "/subtitles/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
    return file.readAll();
}

QByteArray encoded(const char *encoding, const QString &text, bool byteOrderMark = false)
{
    QStringEncoder encoder(encoding,
                           byteOrderMark ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
    EXPECT_TRUE(encoder.isValid()) << encoding;
    return encoder.encode(text);
}

} // namespace

TEST(Subtitles, AnEpisodesSubtitlesAreItsNameWithOneLanguagePartInTrackOrder)
{
    // The subtitles of 第1集.mp4 in their track order, then names that are not.
    struct Row
    {
        const char *name;
        const char *label;
        const char *lang;
    };
    const Row rows[] = {
        {"第1集.chs.srt", "简体中文", "zh-Hans"},
        {"第1集.GB.ass", "简体中文", "zh-Hans"},
        {"第1集.SC.srt", "简体中文", "zh-Hans"},
        {"第1集.zh-CN.ass", "简体中文", "zh-Hans"},
        {"第1集.zh-Hans.ssa", "简体中文", "zh-Hans"},
        {"第1集.zh_sg.vtt", "简体中文", "zh-Hans"},
        {"第1集.ZH.vtt", "中文", "zh"},
        {"第1集.big5.srt", "繁體中文", "zh-Hant"},
        {"第1集.cht.SRT", "繁體中文", "zh-Hant"},
        {"第1集.en.vtt", "English", "en"},
        {"第1集.fr.srt", "fr", "fr"},
        {"第1集.jp.ssa", "日本語", "ja"},
        {"第1集.ko.srt", "한국어", "ko"},
        {"第1集.srt", "字幕", ""},
        {"第1集.tc.srt", "繁體中文", "zh-Hant"},
        {"第1集.zh-hant.srt", "繁體中文", "zh-Hant"},
        {"第1集.zh-HK.srt", "繁體中文", "zh-Hant"},
        {"第1集.zh-tw.srt", "繁體中文", "zh-Hant"},
        {"第10集.srt", nullptr, nullptr},
        {"第1集.mp4", nullptr, nullptr},
        {"第1集.5.mp4", nullptr, nullptr},
        {"第1集.5.srt", nullptr, nullptr}, // the plain subtitle of 第1集.5.mp4
        {"第1集.a.b.srt", nullptr, nullptr},
        {"第1集..srt", nullptr, nullptr},
        {"第1集.chs.srt.bak", nullptr, nullptr},
        {"第1集.txt", nullptr, nullptr},
        {"第1集srt", nullptr, nullptr},
    };
    QStringList folder;
    for (const Row &row : rows)
        folder.prepend(QString::fromUtf8(row.name));

    const QList<subtitles::SubtitleFile> found = subtitles::subtitlesOf(folder, QStringLiteral("第1集.mp4"));
    qsizetype at = 0;
    for (const Row &row : rows) {
        if (!row.label)
            continue;
        SCOPED_TRACE(row.name);
        ASSERT_LT(at, found.size());
        const subtitles::SubtitleFile &file = found[at++];
        EXPECT_EQ(file.fileName, QString::fromUtf8(row.name));
        EXPECT_EQ(folder.value(file.listIndex), file.fileName);
        EXPECT_EQ(file.label, QString::fromUtf8(row.label));
        EXPECT_EQ(file.lang, QString::fromUtf8(row.lang));
    }
    EXPECT_EQ(at, found.size());

    const QList<subtitles::SubtitleFile> ofOther =
        subtitles::subtitlesOf(folder, QStringLiteral("第1集.5.mp4"));
    ASSERT_EQ(ofOther.size(), 1);
    EXPECT_EQ(ofOther[0].fileName, QStringLiteral("第1集.5.srt"));

    // Found for every episode in one pass, the same files.
    QStringList episodes;
    QStringList others;
    for (const QString &name : std::as_const(folder))
        (name.endsWith(QStringLiteral(".mp4")) ? episodes : others).append(name);
    const QList<QList<subtitles::SubtitleFile>> ofEach = subtitles::subtitlesOfEpisodes(episodes, others);
    for (qsizetype e = 0; e < episodes.size(); ++e) {
        QStringList expected;
        for (const subtitles::SubtitleFile &file : subtitles::subtitlesOf(folder, episodes[e]))
            expected.append(file.fileName);
        QStringList inOnePass;
        for (const subtitles::SubtitleFile &file : ofEach[e])
            inOnePass.append(others.value(file.listIndex));
        EXPECT_EQ(inOnePass, expected) << qPrintable(episodes[e]);
    }

    const QList<subtitles::Track> tracks = subtitles::tracksOf(QStringLiteral("第1集.mp4"), found);
    ASSERT_EQ(tracks.size(), found.size());
    EXPECT_EQ(tracks[0].src, QStringLiteral("第1集.mp4.1.vtt"));
    EXPECT_TRUE(tracks[0].isDefault);
    EXPECT_EQ(tracks[1].src, QStringLiteral("第1集.mp4.2.vtt"));
    EXPECT_FALSE(tracks[1].isDefault);
    EXPECT_EQ(subtitles::cueScriptFileName(tracks[1].src), QStringLiteral("第1集.mp4.2.js"));
}

TEST(Subtitles, EachFormatBecomesTheSameWebVttWhateverItsEncoding)
{
    const std::pair<const char *, subtitles::Format> samples[] = {{"cues.srt", subtitles::Format::Srt},
                                                                  {"cues.ass", subtitles::Format::Ass},
                                                                  {"cues.vtt", subtitles::Format::Vtt}};
    for (const auto &[sample, format] : samples) {
        const QString text = QString::fromUtf8(subtitleData(QString::fromUtf8(sample)));
        const QByteArray expected = subtitleData(QString::fromUtf8(sample) + QStringLiteral(".expected.vtt"));
        const std::pair<const char *, QByteArray> encodings[] = {
            {"UTF-8", text.toUtf8()},
            {"UTF-8 with a mark", encoded("UTF-8", text, true)},
            {"UTF-16LE", encoded("UTF-16LE", text, true)},
            {"UTF-16BE", encoded("UTF-16BE", text, true)},
            {"GB18030", encoded("GB18030", text)},
        };
        for (const auto &[encoding, bytes] : encodings) {
            SCOPED_TRACE(std::string(sample) + " in " + encoding);
            const subtitles::Conversion conversion = subtitles::convert(bytes, format);
            EXPECT_TRUE(conversion.ok()) << qPrintable(conversion.reason);
            EXPECT_EQ(subtitles::webVttBytes(conversion.cues), expected);
        }
    }
}

TEST(Subtitles, LegacyChineseIsReadAsTheEncodingThatFindsCommonCharacters)
{
    // Each reads in the other encoding too, as rarer characters, or fails.
    const QString simplified = QStringLiteral("好");
    const QString traditional = QStringLiteral("這是我們的字幕，你說呢？");
    const auto decoded = [](const QByteArray &bytes) {
        const files::Outcome<QString> text = subtitles::decodeText(bytes);
        return text ? *text : QStringLiteral("(undecodable)");
    };
    EXPECT_EQ(decoded(encoded("GB18030", simplified)), simplified);
    EXPECT_EQ(decoded(encoded("GB18030", traditional)), traditional);
    EXPECT_EQ(decoded(encoded("Big5", simplified)), simplified);
    EXPECT_EQ(decoded(encoded("Big5", traditional)), traditional);
    // Without a common character, GB18030 reads this Big5 text to an
    // unassigned code.
    EXPECT_EQ(decoded(encoded("Big5", QStringLiteral("劇場版"))), QStringLiteral("劇場版"));

    const files::Outcome<QString> undecodable = subtitles::decodeText("1\n\xFF");
    ASSERT_FALSE(undecodable);
    EXPECT_EQ(undecodable.failure(), (files::Failure{{}, QStringLiteral("无法识别的文字编码")}));
}

TEST(Subtitles, AFileWithoutAUsableCueSaysWhy)
{
    const QString noCue = subtitles::noUsableCueReason();
    EXPECT_EQ(subtitles::convert("", subtitles::Format::Srt).reason, noCue);
    EXPECT_EQ(
        subtitles::convert("1\n00:00:02,000 --> 00:00:01,000\n反了\n\n2\n00:00:0x --> 00:00:03,000\n坏\n",
                           subtitles::Format::Srt)
            .reason,
        noCue);
    EXPECT_EQ(subtitles::convert("WEBVTT\n\n00:01.000 --> 00:02.000\n\n", subtitles::Format::Vtt).reason,
              noCue);
    EXPECT_EQ(subtitles::convert("00:01.000 --> 00:02.000\n没有文件头\n", subtitles::Format::Vtt).reason,
              subtitles::notWebVttReason());
    EXPECT_EQ(
        subtitles::convert("[Events]\nFormat: Layer, Text\nDialogue: 0,没有时间\n", subtitles::Format::Ass)
            .reason,
        noCue);
    EXPECT_EQ(subtitles::convert("\xFF\xFF", subtitles::Format::Ass).reason,
              QStringLiteral("无法识别的文字编码"));
}

TEST(Subtitles, TheCueScriptKeepsEveryTextInsideItsStrings)
{
    const QString name = QStringLiteral("第1集\"</script>.mp4.1.vtt");
    const QString text = QStringLiteral("</script><!-- \"引号\" ' \\ ") + QChar(0x2028) + QChar(0x2029) +
                         QStringLiteral("😀\n第二行");
    const QByteArray script =
        subtitles::cueScriptBytes(name, {{1500, 62345, {}, text}, {70000, 71000, {}, {}}});

    EXPECT_FALSE(script.contains("</"));
    EXPECT_FALSE(script.contains("<!--"));
    EXPECT_TRUE(std::all_of(script.cbegin(), script.cend(), [](char c) { return uchar(c) < 0x80; }));
    const QByteArray start = "window.tessalySubtitles=window.tessalySubtitles||{};window.tessalySubtitles[";
    ASSERT_TRUE(script.startsWith(start));
    ASSERT_TRUE(script.endsWith("];\n"));
    // What follows is `"name"]=[cues]`: both JSON values.
    const QByteArray assignment = script.sliced(start.size(), script.size() - start.size() - 2);
    const qsizetype equals = assignment.indexOf("]=[");
    const QJsonArray key = QJsonDocument::fromJson('[' + assignment.first(equals) + ']').array();
    const QJsonArray cues = QJsonDocument::fromJson(assignment.sliced(equals + 2)).array();
    EXPECT_EQ(key.at(0).toString(), name);
    ASSERT_EQ(cues.size(), 2);
    EXPECT_EQ(cues[0].toArray(), QJsonArray({1.5, 62.345, text}));
    EXPECT_EQ(cues[1].toArray(), QJsonArray({70, 71, QString()}));
}
