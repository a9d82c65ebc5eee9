#include "media/FactsCache.h"

#include "support/TestVideos.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaly::media;
using tessaly::testing::MediaSample;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(FactsCache, ProbesOnlyNewOrChangedFilesAndSurvivesADamagedCache)
{
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("一.mp4"));
    const QString cacheFile = folder.filePath(FactsCache::fileName());
    ASSERT_TRUE(MediaSample{}.write(video));
    {
        FactsCache cache(cacheFile);
        EXPECT_EQ(cache.facts(video).videoCodec, QStringLiteral("h264"));
        EXPECT_EQ(cache.probed(), 1);
        ASSERT_TRUE(cache.save());
    }
    {
        // Known as it is: read from the cache, not probed.
        FactsCache cache(cacheFile);
        const MediaFacts facts = cache.facts(video);
        EXPECT_EQ(cache.probed(), 0);
        EXPECT_EQ(facts, probeEpisode(video));
    }
    {
        // Changed since: probed again.
        MediaSample sound;
        sound.videoEncoder = nullptr;
        sound.muxer = "ipod";
        ASSERT_TRUE(sound.write(video));
        FactsCache cache(cacheFile);
        EXPECT_EQ(cache.facts(video).videoCodec, QString());
        EXPECT_EQ(cache.probed(), 1);
    }
    for (const QByteArray &damaged : {QByteArray("{\"format\":\"tessaly-video-facts\",\"ver"),
                                      QByteArray("{\"format\":\"other\",\"version\":1,\"files\":[]}"),
                                      QByteArray("\xff\xfe\x00garbage", 10)}) {
        writeBytes(cacheFile, damaged);
        FactsCache cache(cacheFile);
        EXPECT_EQ(cache.facts(video).audioCodecs, QStringList{QStringLiteral("aac")});
        EXPECT_EQ(cache.probed(), 1);
        ASSERT_TRUE(cache.save());
        FactsCache rebuilt(cacheFile);
        rebuilt.facts(video);
        EXPECT_EQ(rebuilt.probed(), 0);
    }
}

TEST(FactsCache, SavingKeepsWhatAnotherUserOfTheFileSavedMeanwhile)
{
    QTemporaryDir folder;
    const QString cacheFile = folder.filePath(FactsCache::fileName());
    const QString first = folder.filePath(QStringLiteral("1.mp4"));
    const QString second = folder.filePath(QStringLiteral("2.mp4"));
    ASSERT_TRUE(MediaSample{}.write(first));
    ASSERT_TRUE(MediaSample{}.write(second));
    FactsCache window(cacheFile);
    FactsCache run(cacheFile);
    window.facts(first);
    run.facts(second);
    ASSERT_TRUE(run.save());
    ASSERT_TRUE(window.save());

    FactsCache next(cacheFile);
    next.facts(first);
    next.facts(second);
    EXPECT_EQ(next.probed(), 0);
}

TEST(FactsCache, FreshFilesAreThoseKnownAsTheyAreNowFoundInAnyOrder)
{
    QTemporaryDir folder;
    const QString cacheFile = folder.filePath(FactsCache::fileName());
    MediaSample matroska;
    matroska.muxer = "matroska";
    ASSERT_TRUE(MediaSample{}.write(folder.filePath(QStringLiteral("第2集.mp4"))));
    ASSERT_TRUE(matroska.write(folder.filePath(QStringLiteral("第1集.mkv"))));
    ASSERT_TRUE(MediaSample{}.write(folder.filePath(QStringLiteral("第3集.mp4"))));
    {
        FactsCache cache(cacheFile);
        for (const char *name : {"第2集.mp4", "第1集.mkv", "第3集.mp4"})
            cache.check(folder.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(cache.save());
    }
    ASSERT_TRUE(matroska.write(folder.filePath(QStringLiteral("第3集.mp4"))));

    const FactsCache cache(cacheFile);
    FactsCache::FreshFiles fresh = cache.freshIn(folder.path() + u'/');
    const std::optional<EpisodeCheck> first = fresh.find(QByteArrayLiteral("第1集.mkv"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->verdict.reason, QStringLiteral("MKV 格式"));
    const std::optional<EpisodeCheck> second = fresh.find(QByteArrayLiteral("第2集.mp4"));
    ASSERT_TRUE(second && second->seconds);
    EXPECT_FALSE(second->verdict.noted());
    EXPECT_NEAR(*second->seconds, 1.0, 0.2);
    EXPECT_FALSE(fresh.find(QByteArrayLiteral("第3集.mp4"))) << "changed since it was probed";
    EXPECT_FALSE(fresh.find(QByteArrayLiteral("第4集.mp4")));
    EXPECT_TRUE(fresh.find(QByteArrayLiteral("第1集.mkv")));
    EXPECT_FALSE(cache.freshIn(folder.filePath(QStringLiteral("gone"))).find(QByteArrayLiteral("第1集.mkv")));
}

} // namespace
