// Times whole-site generation with the new page set ("新版") against the
// classic one on the same synthetic workspace; the runs alternate, so both
// meet the same disk caches.
//
//   pageset_generation_bench [PROJECTS [EPISODES [ROUNDS]]]   (default 1000 x 50, 3)

#include "BenchSupport.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/StyleValues.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tessaly;

using bench::median;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int episodeCount = argc > 2 ? std::atoi(argv[2]) : 50;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    bench::SilentMessages silent;
    Messages::setPresenter(&silent);

    QTemporaryDir temp;
    const Workspace workspace = bench::makeWorkspace(temp);
    const QString movies = temp.filePath(QStringLiteral("movies"));
    static_cast<void>(
        ini::write(QStringLiteral("Setting"), QStringLiteral("MovieFile"), movies, workspace.settingsFile()));
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("WebUpdate"),
                                 QStringLiteral("False"), workspace.settingsFile()));
    QStringList names;
    for (int p = 0; p < projectCount; ++p) {
        const QString name = QStringLiteral("项目 %1").arg(p, 5, 10, QLatin1Char('0'));
        const QString folder = movies + QStringLiteral("/剧集 ") + QString::number(p);
        QDir().mkpath(folder);
        for (int e = 1; e <= episodeCount; ++e) {
            QFile file(folder + QStringLiteral("/第%1集 Episode.S01E%1.mp4").arg(e, 2, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
        static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("File"), folder,
                                     workspace.projectSettingsFile(name)));
        names.append(name);
    }
    ProjectList projects;
    projects.setNames(names);

    std::vector<double> classic;
    std::vector<double> modern;
    bench::NoLines lines;
    for (int round = 0; round < rounds; ++round) {
        for (const PageSet set : {PageSet::Classic, PageSet::Modern}) {
            static_cast<void>(style_values::save(workspace, style_values::defaults(), {set, {}}));
            const WorkingTemplates templates = UpdateStyle(workspace, UpdateStyle(workspace));
            QElapsedTimer timer;
            timer.start();
            if (!SiteRun::prepareWholeSite(workspace, projects, templates)->run(lines).succeeded()) {
                std::fprintf(stderr, "the run failed\n");
                return 1;
            }
            (set == PageSet::Classic ? classic : modern).push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::printf("%d projects x %d episodes, median of %d runs\n", projectCount, episodeCount, rounds);
    std::printf("classic set (经典)  %10.1f ms\n", median(classic));
    std::printf("new set (新版)      %10.1f ms\n", median(modern));
    std::printf("ratio               %10.2f   (goal <= 1.20)\n", median(modern) / median(classic));
    return 0;
}
