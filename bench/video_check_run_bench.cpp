// Times a whole-site run with the new page set when the check of the videos
// finds every episode in its cache, against the same run with the check off
// (`CheckVideos=False`). The episodes are tiny real videos, hard links of
// one file per project (one project in ten in Matroska, which the check
// notes), so the site takes little room. The cache is warmed by one run
// first; then the runs alternate, so both meet the same disk caches.
//
//   video_check_run_bench [PROJECTS [EPISODES [ROUNDS]]]   (default 1000 x 50, 5)
//
// VIDEO_CHECK_RUN_BENCH_KEEP keeps the workspace and the videos, with the
// cache warm, for timing `tessaly-cli generate` on them.

#include "BenchSupport.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/StyleValues.h"
#include "support/TestVideos.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace tessaly;

namespace {

// The processor time this process has used in the kernel, in ms.
double systemMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

// The processor time this process has used, user and system, in ms.
double processorMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

} // namespace

using bench::median;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int episodeCount = argc > 2 ? std::atoi(argv[2]) : 50;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    bench::SilentMessages silent;
    Messages::setPresenter(&silent);

    QTemporaryDir temp;
    if (qEnvironmentVariableIsSet("VIDEO_CHECK_RUN_BENCH_KEEP")) {
        temp.setAutoRemove(false);
        std::printf("kept: %s\n", qPrintable(temp.path()));
    }
    const Workspace workspace = bench::makeWorkspace(temp);
    const QString movies = temp.filePath(QStringLiteral("movies"));
    const QString section = QString::fromLatin1(settings::Section);
    static_cast<void>(ini::write(section, QStringLiteral("MovieFile"), movies, workspace.settingsFile()));
    static_cast<void>(
        ini::write(section, QStringLiteral("WebUpdate"), QStringLiteral("False"), workspace.settingsFile()));
    static_cast<void>(style_values::save(workspace, style_values::defaults(), {PageSet::Modern, {}}));

    const QString plays = temp.filePath(QStringLiteral("plays.mp4"));
    const QString noted = temp.filePath(QStringLiteral("noted.mkv"));
    testing::MediaSample matroska;
    matroska.muxer = "matroska";
    if (!testing::MediaSample{}.write(plays) || !matroska.write(noted)) {
        std::fprintf(stderr, "the video libraries cannot make the samples\n");
        return 1;
    }
    QStringList names;
    for (int p = 0; p < projectCount; ++p) {
        const QString name = QStringLiteral("项目 %1").arg(p, 5, 10, QLatin1Char('0'));
        const QString folder = movies + QStringLiteral("/剧集 ") + QString::number(p);
        QDir().mkpath(folder);
        const bool matroskaProject = p % 10 == 9;
        const QString first =
            folder + (matroskaProject ? QStringLiteral("/第01集.mkv") : QStringLiteral("/第01集.mp4"));
        QFile::copy(matroskaProject ? noted : plays, first);
        for (int e = 2; e <= episodeCount; ++e) {
            const QString episode =
                folder + QStringLiteral("/第%1集.%2")
                             .arg(e, 2, 10, QLatin1Char('0'))
                             .arg(matroskaProject ? QStringLiteral("mkv") : QStringLiteral("mp4"));
            if (::link(QFile::encodeName(first).constData(), QFile::encodeName(episode).constData()) != 0) {
                std::fprintf(stderr, "cannot link %s\n", qPrintable(episode));
                return 1;
            }
        }
        static_cast<void>(
            ini::write(section, QStringLiteral("File"), folder, workspace.projectSettingsFile(name)));
        names.append(name);
    }
    ProjectList projects;
    projects.setNames(names);
    if (qEnvironmentVariableIsSet("VIDEO_CHECK_RUN_BENCH_KEEP"))
        static_cast<void>(projects.save(workspace.listFile()));
    const WorkingTemplates templates = UpdateStyle(workspace, UpdateStyle(workspace));

    bench::NoLines lines;
    // Wall-clock and processor time of one run: on a machine whose disk
    // others share, the flush at the end of a run makes the wall clock
    // wander; the processor time is the work the run itself does.
    struct Times
    {
        std::vector<double> wall;
        std::vector<double> processor;
        std::vector<double> system;
    };
    const auto timedRun = [&](bool check, Times &times) {
        static_cast<void>(ini::write(section, QLatin1String(settings::CheckVideosKey),
                                     check ? QStringLiteral("True") : QStringLiteral("False"),
                                     workspace.settingsFile()));
        QElapsedTimer timer;
        timer.start();
        const double processorAtStart = processorMs();
        const double systemAtStart = systemMs();
        if (!SiteRun::prepareWholeSite(workspace, projects, templates)->run(lines).succeeded())
            std::fprintf(stderr, "the run counted errors\n");
        times.processor.push_back(processorMs() - processorAtStart);
        times.system.push_back(systemMs() - systemAtStart);
        times.wall.push_back(double(timer.nsecsElapsed()) / 1e6);
    };
    Times cold;
    timedRun(true, cold);
    Times off;
    Times warm;
    for (int round = 0; round < rounds; ++round) {
        timedRun(false, off);
        timedRun(true, warm);
    }
    std::printf("%d projects x %d episodes, new page set, median of %d runs   wall clock   processor\n",
                projectCount, episodeCount, rounds);
    std::printf("check off (CheckVideos=False)  %10.1f ms  %10.1f ms\n", median(off.wall),
                median(off.processor));
    std::printf("check on, warm cache           %10.1f ms  %10.1f ms\n", median(warm.wall),
                median(warm.processor));
    std::printf("check on, cold cache (once)    %10.1f ms  %10.1f ms\n", cold.wall.front(),
                cold.processor.front());
    std::printf("of which in the kernel: off %.1f ms, warm %.1f ms\n", median(off.system),
                median(warm.system));
    std::printf("ratio warm / off               %10.2f     %10.2f      (goal <= 1.15)\n",
                median(warm.wall) / median(off.wall), median(warm.processor) / median(off.processor));
    return 0;
}
