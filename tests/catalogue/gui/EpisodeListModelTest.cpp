#include "catalogue/gui/EpisodeListModel.h"

#include "catalogue/gui/EpisodeChecks.h"
#include "media/FactsCache.h"
#include "support/TestVideos.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::media::Playability;
using tessaly::testing::MediaSample;

namespace {

class EpisodeList : public ::testing::Test
{
protected:
    QString folderOf(const char *name)
    {
        const QString folder = dir.filePath(QString::fromUtf8(name));
        QDir().mkpath(folder);
        return folder;
    }
    static void writeStandIn(const QString &path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a video");
    }
    Playability playabilityAt(int row) const
    {
        return model.index(row, 0).data(EpisodeListModel::VerdictRole).value<media::Verdict>().playability;
    }
    bool checkedAt(int row) const
    {
        return model.index(row, 0).data(EpisodeListModel::VerdictRole).isValid();
    }
    // Waits for the check of the list of `project` to be handed over whole.
    bool waitForChecksOf(const QString &project)
    {
        return QTest::qWaitFor(
            [&] {
                for (const QList<QVariant> &arguments : finished) {
                    if (arguments.at(0).toString() == project)
                        return true;
                }
                return false;
            },
            10000);
    }

    QTemporaryDir dir;
    EpisodeListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    EpisodeChecks checks{dir.filePath(media::FactsCache::fileName()), &model};
    QSignalSpy finished{&checks, &EpisodeChecks::finished};
};

} // namespace

TEST_F(EpisodeList, MarksArriveFromTheBackgroundCheckAndPendingRowsShowNone)
{
    const QString folder = folderOf("甲");
    ASSERT_TRUE(MediaSample{}.write(folder + QStringLiteral("/1.mp4")));
    writeStandIn(folder + QStringLiteral("/2.avi"));
    MediaSample matroska;
    matroska.muxer = "matroska";
    ASSERT_TRUE(matroska.write(folder + QStringLiteral("/3.mkv")));
    // A name that is not UTF-8 (GBK "第4集.mp4") is checked by its bytes.
    const QByteArray gbk = "\xb5\xda"
                           "4\xbc\xaf.mp4";
    ASSERT_TRUE(MediaSample{}.write(folder + QStringLiteral("/4.mp4")));
    ASSERT_EQ(::rename(QFile::encodeName(folder + QStringLiteral("/4.mp4")).constData(),
                       (QFile::encodeName(folder) + '/' + gbk).constData()),
              0);

    model.showEpisodes(
        QStringLiteral("甲"),
        {QStringLiteral("1.mp4"), QStringLiteral("2.avi"), QStringLiteral("3.mkv"), QFile::decodeName(gbk)},
        {"1.mp4", "2.avi", "3.mkv", gbk});
    checks.start(folder);
    // Nothing is known before the checks come back to this thread.
    for (int row = 0; row < 4; ++row) {
        EXPECT_FALSE(checkedAt(row)) << row;
        EXPECT_EQ(model.index(row, EpisodeListModel::DurationColumn).data().toString(), QString());
    }
    const qint64 plainIcon = model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey();

    ASSERT_TRUE(waitForChecksOf(QStringLiteral("甲")));
    EXPECT_EQ(playabilityAt(0), Playability::Plays);
    EXPECT_EQ(playabilityAt(1), Playability::Unreadable);
    EXPECT_EQ(playabilityAt(2), Playability::SomeBrowsers);
    EXPECT_EQ(playabilityAt(3), Playability::Plays);
    EXPECT_EQ(model.index(0, 0).data(EpisodeListModel::FileNameRole).toString(), QStringLiteral("1.mp4"));
    EXPECT_NEAR(model.index(0, 0).data(EpisodeListModel::DurationRole).toDouble(), 1.0, 0.2);
    EXPECT_EQ(model.index(0, EpisodeListModel::DurationColumn).data().toString(), QStringLiteral("0:01"));
    EXPECT_FALSE(model.index(1, 0).data(EpisodeListModel::DurationRole).isValid());

    // Only what does not simply play is marked, with its text and reason.
    EXPECT_EQ(model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(), plainIcon);
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), QString());
    EXPECT_NE(model.index(2, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(), plainIcon);
    EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("无法识别的视频文件 (无法读取)"));
    EXPECT_EQ(model.index(2, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("部分浏览器无法播放 (MKV 格式)"));

    // What was probed is kept for the next time.
    checks.waitForIdle();
    EXPECT_TRUE(QFile::exists(dir.filePath(media::FactsCache::fileName())));
}

TEST_F(EpisodeList, ChecksOfAListNoLongerShownAreDropped)
{
    // The same file name in both: the first project's damaged file must
    // not mark the second project's good one.
    const QString first = folderOf("甲");
    writeStandIn(first + QStringLiteral("/1.mp4"));
    const QString second = folderOf("乙");
    ASSERT_TRUE(MediaSample{}.write(second + QStringLiteral("/1.mp4")));

    model.showEpisodes(QStringLiteral("甲"), {QStringLiteral("1.mp4")});
    checks.start(first);
    // The first list's checks are done and on their way, not yet taken.
    checks.waitForIdle();
    model.showEpisodes(QStringLiteral("乙"), {QStringLiteral("1.mp4")});
    checks.start(second);
    EXPECT_FALSE(checkedAt(0));

    ASSERT_TRUE(waitForChecksOf(QStringLiteral("乙")));
    EXPECT_EQ(finished.first().at(0).toString(), QStringLiteral("甲"));
    EXPECT_EQ(playabilityAt(0), Playability::Plays);

    // The same project shown anew is a new list too.
    const quint64 earlier = model.generation();
    model.showEpisodes(QStringLiteral("乙"), {QStringLiteral("1.mp4")});
    EXPECT_FALSE(model.addChecks(QStringLiteral("乙"), earlier, {{0, {}}}));
    EXPECT_FALSE(checkedAt(0));
}
