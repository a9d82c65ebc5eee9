// Times `tessaly-cli generate` as a whole process (start-up, style load,
// run, log) against the floor of the same work in plain POSIX calls:
// reading the same episode folders with readdir, writing as many files of
// as many bytes in all with open/write/close, and one syncfs for the one
// file system the output lies on. Publishing is off (the site folder is
// not set), so the files counted are those the run writes: the play pages,
// the index page, the default covers and the run log.
//
//   cli_floor_bench [PROJECTS [EPISODES [ROUNDS]]]   (default 1000 x 50, 5 rounds)
//   cli_floor_bench --scale                          (1,000 to 100,000 x 5)
//
// CLI_FLOOR_BENCH_CLI names another tessaly-cli to time; CLI_FLOOR_BENCH_KEEP
// keeps the workspace for profiling; CLI_FLOOR_BENCH_TEXT_ORDER sets
// NaturalOrder=False.
//
// The scale run prints the time per project at each size, so that growth
// that is not linear shows, and the process's peak memory at each size.
//
// Both sides print their processor time beside the elapsed time, and the
// start-up that every command pays is timed on `tessaly-cli --help`. On a
// file system without a journal, files made within a minute of many being
// removed cost far more (the file system skips the freed inodes): the runs
// remove nothing, but another program's clean-up, or this benchmark's own
// at its end, still weighs on a run that follows it closely.

#include "catalogue/ProjectList.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tessaly;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User and system time: on a machine others share, it shows what the work
// itself costs when the elapsed times wander.
double processorMilliseconds(const struct rusage &usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double ownProcessorMilliseconds()
{
    struct rusage usage
    {};
    ::getrusage(RUSAGE_SELF, &usage);
    return processorMilliseconds(usage);
}

QString projectName(int i)
{
    return QStringLiteral("项目 %1").arg(i, 6, 10, QLatin1Char('0'));
}

void writePlainFile(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
        std::perror(path.constData());
        std::exit(1);
    }
    ::close(fd);
}

struct FileTally
{
    long files = 0;
    long long bytes = 0;
};

void tally(const std::string &folder, FileTally &total)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        struct stat status;
        if (::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            ++total.files;
            total.bytes += status.st_size;
        }
    }
    ::closedir(dir);
}

// A workspace of PROJECTS projects, each with its own episode folder of
// EPISODES empty files and its settings file; no covers, so the run writes
// the default cover for each.
class Fixture
{
public:
    Fixture(int projects, int episodes)
        : m_workspace(m_temporary.filePath(QStringLiteral("app"))),
          m_movies(m_temporary.filePath(QStringLiteral("movies")))
    {
        std::printf("building %d projects x %d episodes...\n", projects, episodes);
        std::fflush(stdout);
        QDir().mkpath(m_workspace.root());
        m_workspace.createFolders();
        QDir().mkpath(m_movies);
        // The check of the videos has a bench of its own; here it would only
        // look up empty files. CLI_FLOOR_BENCH_TEXT_ORDER lists the episodes
        // in plain text order, as before natural order, for comparison.
        static_cast<void>(
            ini::write(QStringLiteral("Setting"),
                       {{QStringLiteral("MovieFile"), m_movies},
                        {QStringLiteral("CheckVideos"), QStringLiteral("False")},
                        {QStringLiteral("NaturalOrder"),
                         qEnvironmentVariableIsSet("CLI_FLOOR_BENCH_TEXT_ORDER") ? QStringLiteral("False")
                                                                                 : QStringLiteral("True")}},
                       m_workspace.settingsFile()));
        static_cast<void>(ini::write(QStringLiteral("Setting"),
                                     {{QStringLiteral("Coverwidth"), QStringLiteral("185")},
                                      {QStringLiteral("Coverheight"), QStringLiteral("250")},
                                      {QStringLiteral("Linecontent"), QStringLiteral("5")}},
                                     m_workspace.styleFile()));

        // One settings file written the program's way, the others copied
        // from it with their own folder: written one by one with a sync
        // each, a hundred thousand of them would take minutes.
        const QString firstFolder = m_movies + u'/' + projectName(0);
        static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("File"), firstFolder,
                                     m_workspace.projectSettingsFile(projectName(0))));
        QFile first(m_workspace.projectSettingsFile(projectName(0)));
        first.open(QIODevice::ReadOnly);
        const QByteArray model = first.readAll();
        const QByteArray firstEncoded = text::encode(firstFolder);

        QStringList names;
        for (int p = 0; p < projects; ++p) {
            const QString name = projectName(p);
            names.append(name);
            const QString folder = m_movies + u'/' + name;
            const QByteArray encodedFolder = QFile::encodeName(folder);
            m_episodeFolders.push_back(encodedFolder.toStdString());
            ::mkdir(encodedFolder.constData(), 0777);
            for (int e = 1; e <= episodes; ++e)
                writePlainFile(
                    encodedFolder +
                        QStringLiteral("/第%1集 [1080p].mp4").arg(e, 3, 10, QLatin1Char('0')).toUtf8(),
                    {});
            const QByteArray settings = QByteArray(model).replace(firstEncoded, text::encode(folder));
            writePlainFile(QFile::encodeName(m_workspace.projectSettingsFile(name)), settings);
        }
        ProjectList list;
        list.setNames(names);
        if (const files::Outcome<void> saved = list.save(m_workspace.listFile()); !saved) {
            std::fprintf(stderr, "%s\n", qPrintable(saved.failure().text()));
            std::exit(1);
        }
        m_floor = QFile::encodeName(m_temporary.filePath(QStringLiteral("floor"))).toStdString();
        // For profiling the process on its own: the workspace stays.
        if (qEnvironmentVariableIsSet("CLI_FLOOR_BENCH_KEEP")) {
            m_temporary.setAutoRemove(false);
            std::printf("workspace kept: %s\n", qPrintable(m_workspace.root()));
        }
        ::mkdir(m_floor.c_str(), 0777);
    }

    // Moves what a run wrote aside and makes its folders anew and empty,
    // so that every run writes afresh. Nothing is deleted until the end: a
    // file system without a journal (ext4 made so, as on many virtual
    // disks) skips every inode freed in the last minute when it makes a
    // file, which would charge each run, the floor's too, for the files the
    // one before it removed.
    void clearOutput()
    {
        const QString spent = m_temporary.filePath(QStringLiteral("spent-%1").arg(++m_rounds));
        QDir().mkpath(spent);
        QDir().rename(m_workspace.web(), spent + QStringLiteral("/Web"));
        QDir().rename(m_workspace.log(), spent + QStringLiteral("/Log"));
        for (const QString &folder : {m_workspace.webData(), m_workspace.webImage(), m_workspace.log()})
            QDir().mkpath(folder);
    }

    FileTally written() const
    {
        FileTally total;
        for (const QString &folder :
             {m_workspace.web(), m_workspace.webData(), m_workspace.webImage(), m_workspace.log()})
            tally(QFile::encodeName(folder).toStdString(), total);
        return total;
    }

    struct ProcessRun
    {
        double milliseconds = 0;
        double peakMegabytes = 0;
        double processorMilliseconds = 0;
        bool ok = false;
    };

    ProcessRun runCli(const std::string &cli) const
    {
        const std::string root = QFile::encodeName(m_workspace.root()).toStdString();
        const Clock::time_point start = Clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execl(cli.c_str(), cli.c_str(), "--workspace", root.c_str(), "generate", nullptr);
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage
        {};
        ::wait4(child, &status, 0, &usage);
        ProcessRun run;
        run.milliseconds = millisecondsSince(start);
        run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
        run.processorMilliseconds = processorMilliseconds(usage);
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return run;
    }

    // The same listing and writing in plain calls into a new folder, and
    // one syncfs.
    struct FloorRun
    {
        double milliseconds = 0;
        double processorMilliseconds = 0;
    };

    FloorRun runFloor(const FileTally &files)
    {
        const std::string floor = m_floor + '/' + std::to_string(++m_rounds);
        ::mkdir(floor.c_str(), 0777);
        ::sync();
        const double processorBefore = ownProcessorMilliseconds();
        const Clock::time_point start = Clock::now();
        for (const std::string &folder : m_episodeFolders) {
            DIR *dir = ::opendir(folder.c_str());
            while (dir && ::readdir(dir)) {
            }
            if (dir)
                ::closedir(dir);
        }
        const std::vector<char> chunk(size_t(files.bytes / files.files) + 1, 'x');
        const long long base = files.bytes / files.files;
        long long remainder = files.bytes - base * files.files;
        const int folder = ::open(floor.c_str(), O_RDONLY | O_DIRECTORY);
        for (long i = 0; i < files.files; ++i) {
            const std::string name = std::to_string(i) + ".html";
            const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            const size_t size = size_t(base + (remainder > 0 ? 1 : 0));
            remainder -= remainder > 0 ? 1 : 0;
            if (fd < 0 || ::write(fd, chunk.data(), size) != ssize_t(size) || ::close(fd) != 0) {
                std::perror("floor");
                std::exit(1);
            }
        }
        ::syncfs(folder);
        ::close(folder);
        const double milliseconds = millisecondsSince(start);
        return {milliseconds, ownProcessorMilliseconds() - processorBefore};
    }

private:
    QTemporaryDir m_temporary;
    Workspace m_workspace;
    QString m_movies;
    std::vector<std::string> m_episodeFolders;
    std::string m_floor;
    int m_rounds = 0;
};

struct Figures
{
    double cli = 0;
    double floor = 0;
    double cliProcessor = 0;
    double floorProcessor = 0;
    double peakMegabytes = 0;
    FileTally files;
};

// Runs the CLI and the floor in turns; the best of each counts, so that the
// other helpers' work on a shared machine and the disk's write-back of one
// run weigh as little as they can.
Figures measure(const std::string &cli, Fixture &fixture, int rounds)
{
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        fixture.clearOutput();
        ::sync();
        const Fixture::ProcessRun run = fixture.runCli(cli);
        if (!run.ok)
            std::printf("tessaly-cli generate did not succeed\n");
        figures.files = fixture.written();
        const Fixture::FloorRun floor = fixture.runFloor(figures.files);
        const auto best = [round](double &figure, double value) {
            figure = round == 0 ? value : std::min(figure, value);
        };
        best(figures.cli, run.milliseconds);
        best(figures.floor, floor.milliseconds);
        best(figures.cliProcessor, run.processorMilliseconds);
        best(figures.floorProcessor, floor.processorMilliseconds);
        figures.peakMegabytes = std::max(figures.peakMegabytes, run.peakMegabytes);
    }
    return figures;
}

// The start every command pays: the program loaded, its usage printed.
double startUpMilliseconds(const std::string &cli, int rounds)
{
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const Clock::time_point start = Clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::execl(cli.c_str(), cli.c_str(), "--help", nullptr);
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const double milliseconds = millisecondsSince(start);
        best = round == 0 ? milliseconds : std::min(best, milliseconds);
    }
    return best;
}

void printFigures(int projects, int episodes, int rounds, const Figures &figures)
{
    std::printf("\n%d projects x %d episodes: %ld files, %.1f MB written (best of %d)\n", projects, episodes,
                figures.files.files, double(figures.files.bytes) / 1e6, rounds);
    std::printf("  %-28s %10.1f ms\n", "tessaly-cli generate", figures.cli);
    std::printf("  %-28s %10.1f ms\n", "POSIX floor", figures.floor);
    std::printf("  %-28s %10.2f\n", "ratio", figures.cli / figures.floor);
    std::printf("  %-28s %10.1f ms\n", "tessaly-cli processor time", figures.cliProcessor);
    std::printf("  %-28s %10.1f ms\n", "floor processor time", figures.floorProcessor);
    std::printf("  %-28s %10.1f us\n", "time per project", figures.cli * 1000.0 / projects);
    std::printf("  %-28s %10.1f MB\n", "peak memory", figures.peakMegabytes);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // Another build of the program may be named, to compare two of them.
    const std::string cli =
        qEnvironmentVariableIsSet("CLI_FLOOR_BENCH_CLI")
            ? qgetenv("CLI_FLOOR_BENCH_CLI").toStdString()
            : QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/tessaly-cli";
    std::printf("tessaly-cli --help, best of 20: %.1f ms\n", startUpMilliseconds(cli, 20));
    if (argc > 1 && std::string(argv[1]) == "--scale") {
        std::vector<std::unique_ptr<Fixture>> fixtures;
        for (const auto &[projects, rounds] : {std::pair{1000, 5}, {10000, 3}, {100000, 2}}) {
            // Every workspace stays until the end: removing one would charge
            // the next sizes for the inodes it frees (see `clearOutput`).
            fixtures.push_back(std::make_unique<Fixture>(projects, 5));
            printFigures(projects, 5, rounds, measure(cli, *fixtures.back(), rounds));
        }
        return 0;
    }
    const int projects = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int episodes = argc > 2 ? std::atoi(argv[2]) : 50;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    Fixture fixture(projects, episodes);
    printFigures(projects, episodes, rounds, measure(cli, fixture, rounds));
    return 0;
}
