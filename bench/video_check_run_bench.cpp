// Times a whole-site run with the new page set when the check of the videos
// finds every episode in its cache, against the same run with the check off
// (`CheckVideos=False`). The episodes are tiny real videos, hard links of
// one file per project (one project in ten in Matroska, which the check
// notes), so the site takes little room. The cache is warmed by one run
// first; then the runs alternate, so both meet the same disk caches.
//
//   video_check_run_bench [PROJECTS [EPISODES [ROUNDS]]]   (default 1000 x 50, 5)

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
#include <unistd.h>
#include <vector>

using namespace tessaly;

namespace {

class SilentMessages : public MessagePresenter
{
public:
    MessageAnswer present(const Message &) override { return MessageAnswer::Ok; }
};

class NoLines : public ProgressSink
{
public:
    void add(const ProgressLine &) override {}
    QStringList texts() const override { return {}; }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int episodeCount = argc > 2 ? std::atoi(argv[2]) : 50;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    SilentMessages silent;
    Messages::setPresenter(&silent);

    QTemporaryDir temp;
    const Workspace workspace(temp.filePath(QStringLiteral("app")));
    QDir().mkpath(workspace.root());
    workspace.createFolders();
    const QString movies = temp.filePath(QStringLiteral("movies"));
    const QString section = QString::fromLatin1(settings::Section);
    ini::write(section, QStringLiteral("MovieFile"), movies, workspace.settingsFile());
    ini::write(section, QStringLiteral("WebUpdate"), QStringLiteral("False"), workspace.settingsFile());
    style_values::save(workspace, style_values::defaults(), {PageSet::Modern, {}});

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
        ini::write(section, QStringLiteral("File"), folder, workspace.projectSettingsFile(name));
        names.append(name);
    }
    ProjectList projects;
    projects.setNames(names);
    const WorkingTemplates templates = UpdateStyle(workspace, UpdateStyle(workspace));

    NoLines lines;
    const auto timedRun = [&](bool check) {
        ini::write(section, QLatin1String(settings::CheckVideosKey),
                   check ? QStringLiteral("True") : QStringLiteral("False"), workspace.settingsFile());
        QElapsedTimer timer;
        timer.start();
        SiteGeneration run(workspace, projects, templates, lines);
        if (!run.generate(*run.prepare()).succeeded())
            std::fprintf(stderr, "the run counted errors\n");
        return double(timer.nsecsElapsed()) / 1e6;
    };
    const double cold = timedRun(true);
    std::vector<double> off;
    std::vector<double> warm;
    for (int round = 0; round < rounds; ++round) {
        off.push_back(timedRun(false));
        warm.push_back(timedRun(true));
    }
    std::printf("%d projects x %d episodes, new page set, median of %d runs\n", projectCount, episodeCount,
                rounds);
    std::printf("check off (CheckVideos=False) %10.1f ms\n", median(off));
    std::printf("check on, warm cache          %10.1f ms\n", median(warm));
    std::printf("check on, cold cache (once)   %10.1f ms\n", cold);
    std::printf("ratio warm / off              %10.2f   (goal <= 1.15)\n", median(warm) / median(off));
    return 0;
}
