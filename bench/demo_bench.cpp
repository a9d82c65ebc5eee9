// Times `tessaly-cli demo` as a whole process, as a first start runs it:
// start-up, seven 5-second videos drawn and encoded, three covers, one
// whole-site run with publishing, and the final rename. Goal: under 10 s.
//
//   demo_bench [RUNS]   (default 3; the tessaly-cli beside this program is used)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli");

    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir parent;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(cli, {QStringLiteral("demo"), parent.filePath(QStringLiteral("示例"))});
        if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            std::fprintf(stderr, "tessaly-cli demo failed (status %d): %s\n", process.exitCode(),
                         process.readAllStandardError().constData());
            return 1;
        }
        seconds.push_back(timer.elapsed() / 1000.0);
        std::printf("run %d: %.2f s\n", run + 1, seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("making the example: best %.2f s, median %.2f s (goal under 10 s)\n", seconds.front(),
                seconds[seconds.size() / 2]);
    return 0;
}
