// How long the window stops answering during a whole-site run: the run is
// started by a click on "生成整站内容" in the real window (offscreen), and a
// 10 ms timer on the window's thread ticks from the click until the closing
// box is asked for. The longest gap between two ticks, less the 10 ms, is
// the longest stall.
//
//   stall_bench [PROJECTS [EPISODES]]     (default 1500 x 30)

#include "app/WorkspaceSession.h"
#include "app/gui/MainWindow.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace tessaly;

namespace {

// Answers every box at once and notes when the run's closing box comes.
class ClosingBoxWatch : public MessagePresenter
{
public:
    MessageAnswer present(const Message &message) override
    {
        if (message.text.startsWith(QStringLiteral("生成网站")))
            closingBoxAsked = true;
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    bool closingBoxAsked = false;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int projectCount = argc > 1 ? std::atoi(argv[1]) : 1500;
    const int episodeCount = argc > 2 ? std::atoi(argv[2]) : 30;
    ClosingBoxWatch boxes;
    Messages::setPresenter(&boxes);

    QTemporaryDir temporary;
    const Workspace workspace(temporary.filePath(QStringLiteral("app")));
    QDir().mkpath(workspace.root());
    workspace.createFolders();
    const QString movies = temporary.filePath(QStringLiteral("movies"));
    const QString site = temporary.filePath(QStringLiteral("site"));
    QDir().mkpath(site);

    std::printf("Building %d projects x %d episodes...\n", projectCount, episodeCount);
    QStringList names;
    for (int p = 0; p < projectCount; ++p) {
        const QString name = QStringLiteral("项目 %1").arg(p, 5, 10, QLatin1Char('0'));
        names.append(name);
        const QString folder = movies + u'/' + name;
        QDir().mkpath(folder);
        for (int e = 1; e <= episodeCount; ++e)
            QFile(folder + QStringLiteral("/第%1集 [1080p].mp4").arg(e, 3, 10, QLatin1Char('0')))
                .open(QIODevice::WriteOnly);
        static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("File"), folder,
                                     workspace.projectSettingsFile(name)));
        static_cast<void>(files::writeFileAtomically(workspace.coverFile(name), QByteArray(20000, 'c')));
    }
    ProjectList list;
    list.setNames(names);
    if (const files::Outcome<void> saved = list.save(workspace.listFile()); !saved) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.failure().text()));
        return 1;
    }
    const QString settings = workspace.settingsFile();
    static_cast<void>(
        ini::write(QStringLiteral("Setting"), QStringLiteral("WebUpdate"), QStringLiteral("True"), settings));
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("MovieFile"), movies, settings));
    static_cast<void>(ini::write(QStringLiteral("Setting"), QStringLiteral("WebFile"), site, settings));

    WorkspaceSession session(workspace.root());
    if (!session.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse))
        return 1;
    MainWindow window(session);
    window.start();
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    QList<qint64> ticks;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!boxes.closingBoxAsked)
            ticks.append(clock.nsecsElapsed());
    });

    clock.start();
    ticks.append(0);
    timer.start();
    window.controls().generate->click();
    while (!boxes.closingBoxAsked)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ticks.append(clock.nsecsElapsed());
    timer.stop();
    // The box is asked for on the window's thread; whatever comes after it
    // (the box itself) is not part of the run.
    const double run = double(clock.nsecsElapsed()) / 1e6;

    qint64 longest = 0;
    qint64 longestAt = 0;
    for (int i = 1; i < ticks.size(); ++i) {
        if (ticks.at(i) - ticks.at(i - 1) > longest) {
            longest = ticks.at(i) - ticks.at(i - 1);
            longestAt = ticks.at(i - 1);
        }
    }
    std::printf("\n%d projects x %d episodes, whole-site run with publishing\n", projectCount, episodeCount);
    std::printf("%-34s %10.1f ms\n", "click to closing box", run);
    std::printf("%-34s %10d\n", "timer ticks", int(ticks.size()) - 2);
    std::printf("%-34s %10.1f ms\n", "longest stall (gap - 10 ms)", double(longest) / 1e6 - 10.0);
    std::printf("%-34s %10.1f ms\n", "  starting after the click at", double(longestAt) / 1e6);
    return 0;
}
