#include "demo/Example.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/Reasons.h"
#include "settings/SettingsFiles.h"
#include "site/DefaultCover.h"
#include "site/Progress.h"
#include "support/RecordingMessages.h"
#include "support/WebPageDriving.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace tessaly;
using namespace tessaly::testing;

namespace {

struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

// The built `tessaly-cli`, started as on a server: no display and no window
// system chosen.
void startCli(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSALY_CLI), arguments);
}

// `inChild` runs in the child before the program starts.
CliRun runCli(const QStringList &arguments, const std::function<void()> &inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    startCli(process, arguments);
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// What the video libraries find in a file.
struct VideoFacts
{
    bool opened = false;
    AVCodecID codec = AV_CODEC_ID_NONE;
    int profile = 0;
    int pixelFormat = -1;
    int width = 0;
    int height = 0;
    double framesPerSecond = 0;
    QList<double> keyframeSeconds;
};

VideoFacts inspect(const QString &path)
{
    VideoFacts facts;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return facts;
    const int index = avformat_find_stream_info(format, nullptr) >= 0
                          ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                          : -1;
    if (index >= 0) {
        const AVStream *stream = format->streams[index];
        facts.opened = true;
        facts.codec = stream->codecpar->codec_id;
        facts.profile = stream->codecpar->profile;
        facts.pixelFormat = stream->codecpar->format;
        facts.width = stream->codecpar->width;
        facts.height = stream->codecpar->height;
        facts.framesPerSecond = av_q2d(stream->avg_frame_rate);
        AVPacket *packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && (packet->flags & AV_PKT_FLAG_KEY))
                facts.keyframeSeconds.append(packet->pts * av_q2d(stream->time_base));
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return facts;
}

// The top-level boxes of an MP4 file, in file order.
QStringList topLevelBoxes(const QString &path)
{
    QFile file(path);
    QStringList boxes;
    if (!file.open(QIODevice::ReadOnly))
        return boxes;
    qint64 at = 0;
    while (at + 8 <= file.size() && file.seek(at)) {
        const QByteArray header = file.read(8);
        const quint32 size = (quint8(header[0]) << 24) | (quint8(header[1]) << 16) |
                             (quint8(header[2]) << 8) | quint8(header[3]);
        boxes.append(QString::fromLatin1(header.mid(4, 4)));
        if (size < 8)
            break;
        at += size;
    }
    return boxes;
}

} // namespace

TEST(Example, OpensFromFilesWithACoverPerProjectAndPlaysEveryEpisode)
{
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("示例 it's"));
    const CliRun made = runCli({QStringLiteral("demo"), folder});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_FALSE(made.err.contains(QStringLiteral(" @ 0x")))
        << "the video libraries' log: " << made.err.toStdString();
    EXPECT_EQ(entriesOf(parent.path()), QStringList{QStringLiteral("示例 it's")});

    // Everything the workspace records is absolute and names DIR itself,
    // not the folder the example was built in.
    const Workspace workspace(folder + QStringLiteral("/workspace"));
    const SiteSettings settings = SiteSettings::read(workspace);
    const QString site = folder + QStringLiteral("/site");
    EXPECT_EQ(settings.movieFile, site + QStringLiteral("/movie"));
    EXPECT_EQ(settings.webFile, site);
    EXPECT_EQ(settings.webUpdate, QStringLiteral("True"));
    const QUrl link(settings.webLink);
    ASSERT_EQ(link.toLocalFile(), site + QStringLiteral("/index.html")) << settings.webLink.toStdString();
    EXPECT_TRUE(files::plainFileExists(workspace.styleFile()));

    ProjectList projects;
    ASSERT_EQ(projects.load(workspace.listFile()), ProjectList::LoadResult::Loaded);
    ASSERT_EQ(projects.size(), 3);
    QHash<QString, QString> folderOf;
    for (const QString &name : projects.names()) {
        folderOf[name] = settings::episodeFolder(workspace, name);
        EXPECT_TRUE(folderOf[name].startsWith(settings.movieFile + u'/')) << folderOf[name].toStdString();
        const files::Outcome<QByteArray> read =
            files::readFileBytes(site + QStringLiteral("/Image/") + name + QStringLiteral(".jpg"));
        ASSERT_TRUE(read) << read.failure().text().toStdString();
        const QByteArray &cover = *read;
        EXPECT_FALSE(cover.isEmpty()) << name.toStdString();
        EXPECT_FALSE(isBuiltinDefaultCover(cover)) << name.toStdString();
    }

    // Where it now lies, the workspace starts without a box, and a new run
    // regenerates and republishes the site that is checked below.
    const CliRun regenerated =
        runCli({QStringLiteral("--workspace"), workspace.root(), QStringLiteral("generate")});
    EXPECT_EQ(regenerated.status, 0);
    EXPECT_EQ(regenerated.err.toStdString(), "生成网站成功!\n");
    EXPECT_TRUE(regenerated.out.contains(QStringLiteral("站点内容更新完成")))
        << regenerated.out.toStdString();

    QWebEnginePage page;
    ASSERT_TRUE(loadPage(page, link));
    EXPECT_TRUE(waitForScript(page, QStringLiteral("Array.from(document.images).length == 3 && "
                                                   "Array.from(document.images).every(i => i.complete && "
                                                   "i.naturalWidth == 185 && i.naturalHeight == 250)")));
    const QStringList playPages =
        evaluate(page, QStringLiteral("Array.from(new Set(Array.from(document.querySelectorAll('a'))"
                                      ".map(a => a.href)))"))
            .toStringList();
    ASSERT_EQ(playPages.size(), 3);

    int episodesPlayed = 0;
    for (const QString &playPage : playPages) {
        ASSERT_TRUE(loadPage(page, QUrl(playPage))) << playPage.toStdString();
        // Opened from files, the home link leads back to the index page.
        EXPECT_EQ(QUrl(evaluate(page, QStringLiteral("document.querySelector('a.home').href")).toString()),
                  link);
        const QString project =
            evaluate(page, QStringLiteral("document.getElementById('page').dataset.project")).toString();
        ASSERT_TRUE(folderOf.contains(project)) << project.toStdString();
        const QStringList episodes = files::listFiles(folderOf.value(project)).entries;
        ASSERT_FALSE(episodes.isEmpty());
        for (int number = 1; number <= episodes.size(); ++number) {
            evaluate(
                page,
                QStringLiteral("document.querySelector('#episodes [data-n=\"%1\"]').click()").arg(number));
            const QString video = QStringLiteral("document.getElementById('video1')");
            ASSERT_TRUE(waitForScript(page, video + QStringLiteral(".readyState >= 1")))
                << project.toStdString() << " " << number;
            const QUrl source(evaluate(page, video + QStringLiteral(".currentSrc")).toString());
            EXPECT_EQ(source.toLocalFile().toStdString(),
                      (folderOf.value(project) + u'/' + episodes.at(number - 1)).toStdString());
            EXPECT_EQ(evaluate(page, video + QStringLiteral(".videoWidth")).toInt(), 640);
            EXPECT_EQ(evaluate(page, video + QStringLiteral(".videoHeight")).toInt(), 360);
            EXPECT_NEAR(evaluate(page, video + QStringLiteral(".duration")).toDouble(), 5.0, 0.1);
            ++episodesPlayed;
        }
    }
    EXPECT_EQ(episodesPlayed, 7);

    QDirIterator videos(settings.movieFile, {QStringLiteral("*.mp4")}, QDir::Files,
                        QDirIterator::Subdirectories);
    int videoCount = 0;
    while (videos.hasNext()) {
        const QString file = videos.next();
        ++videoCount;
        const VideoFacts facts = inspect(file);
        ASSERT_TRUE(facts.opened) << file.toStdString();
        EXPECT_EQ(facts.codec, AV_CODEC_ID_H264);
        EXPECT_TRUE(facts.profile == FF_PROFILE_H264_HIGH || facts.profile == FF_PROFILE_H264_MAIN ||
                    facts.profile == FF_PROFILE_H264_CONSTRAINED_BASELINE)
            << facts.profile;
        EXPECT_EQ(facts.pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(facts.width, 640);
        EXPECT_EQ(facts.height, 360);
        EXPECT_DOUBLE_EQ(facts.framesPerSecond, 25.0);
        EXPECT_EQ(facts.keyframeSeconds, (QList<double>{0, 1, 2, 3, 4})) << file.toStdString();
        // The index comes before the pictures, so playing starts at once.
        const QStringList boxes = topLevelBoxes(file);
        EXPECT_LT(boxes.indexOf(QStringLiteral("moov")), boxes.indexOf(QStringLiteral("mdat")))
            << boxes.join(u' ').toStdString();
    }
    EXPECT_EQ(videoCount, 7);
}

TEST(Example, RefusesAFolderThatIsNotEmptyAndChangesNothing)
{
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("mine"));
    QDir().mkpath(folder);
    QFile keep(folder + QStringLiteral("/keep.txt"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();

    const CliRun refused = runCli({QStringLiteral("demo"), folder});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.toStdString(), (folder + QStringLiteral("\r\n文件夹不为空!\n")).toStdString());
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(entriesOf(parent.path()), QStringList{QStringLiteral("mine")});
    EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("keep.txt")});
}

TEST(Example, AFullDiskIsSaidInChineseNamingTheFolderTheExampleIsMadeIn)
{
    QTemporaryDir parent;
    const CliRun refused = runCli({QStringLiteral("demo"), parent.filePath(QStringLiteral("example"))}, [] {
        // Files may not grow beyond 64 KiB: writes past it fail as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit fileSize{};
        ::getrlimit(RLIMIT_FSIZE, &fileSize);
        fileSize.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
    });
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.toStdString(),
              (parent.path() + QStringLiteral("\r\n") + files::reasonFor(EFBIG) + u'\n').toStdString());
    EXPECT_TRUE(entriesOf(parent.path()).isEmpty()) << entriesOf(parent.path()).join(u' ').toStdString();
}

TEST(Example, StoppedBySignalItLeavesNothingAndEndsAsTheSignalAsks)
{
    QTemporaryDir parent;
    QProcess process;
    process.start(QStringLiteral(TESSALY_CLI),
                  {QStringLiteral("demo"), parent.filePath(QStringLiteral("example"))});
    // The first progress line comes once the work has begun.
    ASSERT_TRUE(process.waitForReadyRead(60000));
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(entriesOf(parent.path()).isEmpty()) << entriesOf(parent.path()).join(u' ').toStdString();
}

TEST(Example, AFolderLeftByAKilledRunGoesWithTheNextRunWhileOneStillBeingMadeStays)
{
    QTemporaryDir parent;
    // The first progress line comes once the build folder is there.
    const auto started = [&parent](QProcess &process, const char *name) {
        startCli(process, {QStringLiteral("demo"), parent.filePath(QString::fromLatin1(name))});
        return process.waitForReadyRead(60000);
    };
    // A run that is still making its example, held still meanwhile.
    QProcess paused;
    ASSERT_TRUE(started(paused, "paused"));
    ASSERT_EQ(::kill(pid_t(paused.processId()), SIGSTOP), 0);
    const QStringList building = entriesOf(parent.path());
    ASSERT_EQ(building.size(), 1);

    QProcess killed;
    ASSERT_TRUE(started(killed, "killed"));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));
    QStringList left = entriesOf(parent.path());
    left.removeOne(building.first());
    ASSERT_EQ(left.size(), 1);

    const CliRun next = runCli({QStringLiteral("demo"), parent.filePath(QStringLiteral("next"))});
    const QStringList after = entriesOf(parent.path());
    ::kill(pid_t(paused.processId()), SIGCONT);
    paused.terminate();
    paused.waitForFinished(60000);
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_EQ(next.out.split(u'\n').first().toStdString(),
              (QStringLiteral("删除中断的示例留下的文件夹 ") + parent.filePath(left.first())).toStdString());
    QStringList expected{building.first(), QStringLiteral("next")};
    expected.sort();
    EXPECT_EQ(after, expected) << after.join(u' ').toStdString();
    // Ended by its signal, the paused run removed its own build folder.
    EXPECT_EQ(entriesOf(parent.path()), QStringList{QStringLiteral("next")});
}

namespace {

// Puts a file into the target folder as soon as the work has begun, as
// another program might while the example is being made.
class IntruderSink : public ProgressSink
{
public:
    explicit IntruderSink(QString folder) : m_folder(std::move(folder)) {}
    void add(const ProgressLine &line) override
    {
        if (m_lines.isEmpty()) {
            EXPECT_TRUE(files::writeFileAtomically(m_folder + QStringLiteral("/late.txt"), "late"));
        }
        m_lines.append(line.text);
    }

private:
    QString m_folder;
    QStringList m_lines;
};

} // namespace

TEST(Example, AFailureAtTheEndLeavesNothingBehindAndKeepsWhatOthersPutThere)
{
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(folder));
    RecordingMessages messages;
    IntruderSink sink(folder);

    EXPECT_FALSE(demo::makeExample(folder, sink));
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().text.startsWith(folder + QStringLiteral("\r\n")))
        << messages.last().text.toStdString();
    EXPECT_EQ(entriesOf(parent.path()), QStringList{QStringLiteral("empty")});
    EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("late.txt")});
}
