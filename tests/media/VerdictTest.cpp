#include "media/Verdict.h"

#include "media/EpisodeProbe.h"
#include "support/TestVideos.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaly::media;
using tessaly::testing::MediaSample;

namespace {

struct Row
{
    const char *file;
    MediaSample sample;
    const char *verdict;
    const char *reason;
};

class Verdicts : public testing::TestWithParam<Row>
{
protected:
    QTemporaryDir folder;
};

// Each row of the table, against a file the libraries made.
TEST_P(Verdicts, OfARealSample)
{
    const Row &row = GetParam();
    const QString path = folder.filePath(QString::fromLatin1(row.file));
    QString error;
    if (!row.sample.write(path, &error))
        GTEST_SKIP() << "cannot make the sample: " << error.toStdString();
    const MediaFacts facts = probeEpisode(path);
    const Verdict verdict = verdictFor(facts);
    EXPECT_EQ(verdict.text(), QString::fromUtf8(row.verdict)) << row.file;
    EXPECT_EQ(verdict.reason, QString::fromUtf8(row.reason)) << row.file;
}

MediaSample sample(const char *muxer, const char *video, const char *audio, const char *pixels = "yuv420p")
{
    MediaSample made;
    made.muxer = muxer;
    made.videoEncoder = video;
    made.audioEncoder = audio;
    made.pixelFormat = pixels;
    return made;
}

MediaSample indexAtEnd()
{
    MediaSample made;
    made.indexFirst = false;
    return made;
}

MediaSample withCover(const char *muxer, const char *audio)
{
    MediaSample made = sample(muxer, nullptr, audio);
    made.coverArt = true;
    return made;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Verdicts,
    testing::Values(
        Row{"a.mp4", sample("mp4", "libx264", "aac"), "可以播放", ""},
        Row{"b.mp4", sample("mp4", "libx264", "libmp3lame"), "可以播放", ""},
        Row{"c.mp4", sample("mp4", "libx264", nullptr), "可以播放", ""},
        Row{"d.mp3", sample("mp3", nullptr, "libmp3lame"), "可以播放", ""},
        Row{"e.m4a", sample("ipod", nullptr, "aac"), "可以播放", ""},
        Row{"f.flac", sample("flac", nullptr, "flac"), "可以播放", ""},
        Row{"g.wav", sample("wav", nullptr, "pcm_s16le"), "可以播放", ""},
        Row{"cover.mp3", withCover("mp3", "libmp3lame"), "可以播放", ""},
        Row{"cover.m4a", withCover("ipod", "aac"), "可以播放", ""},
        Row{"h.webm", sample("webm", "libvpx-vp9", "libopus"), "部分浏览器无法播放", "WebM 格式"},
        Row{"i.webm", sample("webm", "libvpx", "libvorbis"), "部分浏览器无法播放", "WebM 格式"},
        Row{"j.mov", sample("mov", "libx264", "aac"), "部分浏览器无法播放", "MOV 格式"},
        Row{"k.mkv", sample("matroska", "libx264", "aac"), "部分浏览器无法播放", "MKV 格式"},
        Row{"l.mkv", sample("matroska", "libx265", "aac"), "部分浏览器无法播放", "HEVC 视频"},
        Row{"m.mp4", sample("mp4", "libx264", "aac", "yuv420p10le"), "部分浏览器无法播放",
            "10 位 H.264 视频"},
        Row{"n.mp4", sample("mp4", "libx264", "aac", "yuv422p"), "部分浏览器无法播放", "H.264 4:2:2 视频"},
        Row{"o.mp4", sample("mp4", "libaom-av1", "aac"), "部分浏览器无法播放", "AV1 视频"},
        Row{"p.ogg", sample("ogg", nullptr, "libvorbis"), "部分浏览器无法播放", "Ogg 音频"},
        Row{"q.mp4", sample("mp4", "libx264", "ac3"), "浏览器中没有声音", "AC-3 音频"},
        Row{"r.mkv", sample("matroska", "libx264", "eac3"), "浏览器中没有声音", "E-AC-3 音频"},
        Row{"s.avi", sample("avi", "mpeg4", "libmp3lame"), "浏览器无法播放", "AVI 格式"},
        Row{"t.wmv", sample("asf", "wmv2", "wmav2"), "浏览器无法播放", "WMV 格式"},
        Row{"u.flv", sample("flv", "flv", "libmp3lame"), "浏览器无法播放", "FLV 格式"},
        Row{"v.ts", sample("mpegts", "libx264", "aac"), "浏览器无法播放", "MPEG-TS 格式"},
        Row{"w.mpg", sample("vob", "mpeg2video", "mp2"), "浏览器无法播放", "MPEG-PS 格式"},
        Row{"x.rm", sample("rm", "rv10", "ac3"), "浏览器无法播放", "RM 格式"},
        Row{"y.wma", sample("asf", nullptr, "wmav2"), "浏览器无法播放", "WMA 格式"},
        Row{"z.mp4", sample("mp4", "mpeg4", "aac"), "浏览器无法播放", "MPEG-4 Part 2 视频"},
        Row{"mpeg2.mkv", sample("matroska", "mpeg2video", "aac"), "浏览器无法播放", "MPEG-2 视频"},
        Row{"late.mp4", indexAtEnd(), "开始播放较慢", "索引在文件末尾"}));

TEST(Probe, ReadsTheFactsAndTellsDamagedAndEmptyFiles)
{
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.mp4"));
    ASSERT_TRUE(MediaSample{}.write(good));
    const MediaFacts facts = probeEpisode(good);
    EXPECT_EQ(facts.family, QStringLiteral("mp4"));
    EXPECT_EQ(facts.videoCodec, QStringLiteral("h264"));
    EXPECT_EQ(facts.width, 64);
    EXPECT_EQ(facts.bitDepth, 8);
    EXPECT_EQ(facts.audioCodecs, QStringList{QStringLiteral("aac")});
    ASSERT_TRUE(facts.seconds);
    EXPECT_NEAR(*facts.seconds, 1.0, 0.2);
    EXPECT_FALSE(facts.indexAtEnd);

    // The same file cut short after its header: its media data is gone.
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString damaged = folder.filePath(QStringLiteral("damaged.mp4"));
    QFile cut(damaged);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(40));
    cut.close();
    EXPECT_EQ(verdictFor(probeEpisode(damaged)).text(), QStringLiteral("无法识别的视频文件"));
    const QString empty = folder.filePath(QStringLiteral("empty.mkv"));
    QFile(empty).open(QIODevice::WriteOnly);
    const Verdict none = verdictFor(probeEpisode(empty));
    EXPECT_EQ(none.text(), QStringLiteral("无法识别的视频文件"));
    EXPECT_EQ(none.reason, QStringLiteral("空文件"));
    EXPECT_EQ(none.word(), QStringLiteral("unknown"));
}

} // namespace
