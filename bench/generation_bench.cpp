// Times a whole-site generation on a synthetic workspace against the I/O
// floor of the same work, then a first and a second publish.
//
//   generation_bench [PROJECTS [EPISODES]]     (default 1000 x 50)

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "site/OutputFolders.h"
#include "site/Progress.h"
#include "site/RunReport.h"
#include "site/SiteGeneration.h"
#include "site/SitePublisher.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessaly;

namespace {

class SilentMessages : public MessagePresenter
{
public:
    MessageAnswer present(const Message &) override { return MessageAnswer::Ok; }
};

void print(const char *label, double value, const char *unit)
{
    std::printf("%-34s %10.1f %s\n", label, value, unit);
}

QString projectName(int i)
{
    return QStringLiteral("项目 %1").arg(i, 5, 10, QLatin1Char('0'));
}

void setSite(const Workspace &workspace, const QString &movies, const QString &site, const char *update)
{
    const QString file = workspace.settingsFile();
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("WebUpdate"),
                                 QString::fromLatin1(update), file));
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("MovieFile"), movies, file));
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("WebFile"), site, file));
}

// Modification time and inode of every file below the folder.
QHash<QString, QPair<qint64, qint64>> fileStamps(const QString &folder)
{
    QHash<QString, QPair<qint64, qint64>> stamps;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        struct stat info
        {};
        ::stat(QFile::encodeName(folder + u'/' + name).constData(), &info);
        stamps.insert(name,
                      {qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, qint64(info.st_ino)});
    }
    for (const QString &sub : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto inner = fileStamps(folder + u'/' + sub);
        for (auto it = inner.cbegin(); it != inner.cend(); ++it)
            stamps.insert(sub + u'/' + it.key(), it.value());
    }
    return stamps;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int episodeCount = argc > 2 ? std::atoi(argv[2]) : 50;
    SilentMessages silent;
    Messages::setPresenter(&silent);

    QTemporaryDir temporary;
    const Workspace workspace(temporary.filePath(QStringLiteral("app")));
    QDir().mkpath(workspace.root());
    workspace.createFolders();
    const QString movies = temporary.filePath(QStringLiteral("movies"));
    const QString site = temporary.filePath(QStringLiteral("site"));
    QDir().mkpath(site);

    std::printf("Building %d projects x %d episodes...\n", projectCount, episodeCount);
    const files::OpenFolder covers(workspace.webImage());
    ProjectList projects;
    QStringList names;
    for (int p = 0; p < projectCount; ++p) {
        const QString name = projectName(p);
        names.append(name);
        const QString folder = movies + u'/' + name;
        QDir().mkpath(folder);
        for (int e = 1; e <= episodeCount; ++e)
            QFile(folder + QStringLiteral("/第%1集 [1080p].mp4").arg(e, 3, 10, QLatin1Char('0')))
                .open(QIODevice::WriteOnly);
        static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("File"), folder,
                                     workspace.projectSettingsFile(name)));
        static_cast<void>(covers.writeFile(files::OpenFolder::nameOf(name + QStringLiteral(".jpg")),
                                           QByteArray(20000, 'c')));
    }
    projects.setNames(names);
    if (const files::Outcome<void> saved = projects.save(workspace.listFile()); !saved) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.failure().text()));
        return 1;
    }
    setSite(workspace, movies, site, "False");
    WorkingTemplates templates = UpdateStyle(workspace);
    templates = UpdateStyle(workspace, templates);

    // Generation alone (WebUpdate is not "True", so nothing is published),
    // against the floor: listing the same folders, writing as many bytes to
    // as many files the way generated files are written, and one sync. Both
    // are taken in turns, several times, and the best of each counts, so
    // that the disk's write-back of one does not land in the other's figure.
    constexpr int Rounds = 3;
    const QString floorFolder = temporary.filePath(QStringLiteral("floor"));
    QDir().mkpath(floorFolder);
    double generation = 0;
    double floor = 0;
    files::SyncCounts generationSyncs;
    qint64 bytes = 0;
    int fileCount = 0;
    QElapsedTimer timer;
    for (int round = 0; round < Rounds; ++round) {
        ::sync();
        const files::SyncCounts syncsBefore = files::syncCounts();
        timer.start();
        ProgressLines lines;
        const RunOutcome outcome = SiteRun::prepareWholeSite(workspace, projects, templates)->run(lines);
        const double generationTime = double(timer.nsecsElapsed()) / 1e6;
        generationSyncs = {files::syncCounts().fileSyncs - syncsBefore.fileSyncs,
                           files::syncCounts().fileSystemSyncs - syncsBefore.fileSystemSyncs};
        if (!outcome.succeeded())
            std::printf("generation reported %d errors\n", outcome.errors);

        bytes = 0;
        const QStringList written = QDir(workspace.webData()).entryList(QDir::Files);
        for (const QString &page : written)
            bytes += QFileInfo(workspace.webData() + u'/' + page).size();
        bytes += QFileInfo(workspace.indexPage()).size();
        fileCount = int(written.size()) + 1;
        const QByteArray chunk(int(bytes / fileCount), 'x');

        ::sync();
        timer.restart();
        for (const QString &name : names)
            files::listFiles(movies + u'/' + name);
        const files::OpenFolder floorFiles(floorFolder);
        for (int i = 0; i < fileCount; ++i)
            static_cast<void>(floorFiles.writeFile(QByteArray::number(i) + ".html", chunk));
        static_cast<void>(floorFiles.syncFileSystem());
        const double floorTime = double(timer.nsecsElapsed()) / 1e6;

        generation = round == 0 ? generationTime : std::min(generation, generationTime);
        floor = round == 0 ? floorTime : std::min(floor, floorTime);
    }

    setSite(workspace, movies, site, "True");
    timer.restart();
    {
        ProgressLines publishLines;
        RunReport report(publishLines);
        SitePublisher(workspace, report).publishWholeSite(OutputFolders(workspace, report));
        if (report.errors())
            std::printf("first publish reported %d errors\n", report.errors());
    }
    const double firstPublish = double(timer.nsecsElapsed()) / 1e6;

    const auto before = fileStamps(site);
    timer.restart();
    {
        ProgressLines publishLines;
        RunReport report(publishLines);
        SitePublisher(workspace, report).publishWholeSite(OutputFolders(workspace, report));
    }
    const double secondPublish = double(timer.nsecsElapsed()) / 1e6;
    const auto after = fileStamps(site);
    int rewritten = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key()) != it.value())
            ++rewritten;

    struct rusage usage
    {};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("\n%d projects x %d episodes, %d pages, %.1f MB of pages\n", projectCount, episodeCount,
                fileCount, double(bytes) / 1e6);
    print("whole-site generation (best of 3)", generation, "ms");
    print("  data syncs in one generation", generationSyncs.fileSyncs, "");
    print("  file-system syncs in one generation", generationSyncs.fileSystemSyncs, "");
    print("I/O floor (best of 3)", floor, "ms");
    print("ratio generation / floor", generation / floor, "");
    print("first publish", firstPublish, "ms");
    print("second publish (nothing changed)", secondPublish, "ms");
    print("files rewritten by second publish", rewritten, "");
    print("peak memory", double(usage.ru_maxrss) / 1024.0, "MB");
    return 0;
}
