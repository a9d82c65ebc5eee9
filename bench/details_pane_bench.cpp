// Times the project-click handling for a project whose episode folder holds
// many files: listing the folder and filling the details pane's episode list.
//
//   details_pane_bench [FILES]     (default 10000)

#include "app/WorkspaceSession.h"
#include "app/gui/MainWindow.h"
#include "platform/Messages.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class SilentMessages : public tessaly::MessagePresenter
{
public:
    tessaly::MessageAnswer present(const tessaly::Message &) override { return tessaly::MessageAnswer::Ok; }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int fileCount = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;

    SilentMessages silent;
    tessaly::Messages::setPresenter(&silent);

    QTemporaryDir dir;
    const tessaly::Workspace workspace(dir.path());
    workspace.createFolders();
    const QString episodes = dir.filePath(QStringLiteral("movies/Series"));
    QDir().mkpath(episodes);
    for (int i = 0; i < fileCount; ++i)
        writeFile(episodes + QStringLiteral("/第%1集.mp4").arg(fileCount - i, 5, 10, QLatin1Char('0')), {});
    writeFile(workspace.listFile(), "Other\r\nSeries\r\n");
    writeFile(workspace.projectSettingsFile(QStringLiteral("Series")),
              "[Setting]\r\nFile=" + episodes.toLocal8Bit() + "\r\n");
    writeFile(workspace.styleFile(), "[Setting]\r\nCoverwidth=185\r\nCoverheight=250\r\nLinecontent=3\r\n");

    tessaly::WorkspaceSession session(workspace.root());
    if (!session.open(tessaly::WorkspaceSession::Access::Change,
                      tessaly::WorkspaceSession::MissingFolder::Refuse))
        return 1;
    tessaly::MainWindow window(session);
    window.start();
    window.show();
    QApplication::processEvents();

    std::vector<double> times;
    for (int round = 0; round < 7; ++round) {
        window.selectRow(0);
        QElapsedTimer timer;
        timer.start();
        window.selectRow(1); // the selection change fills the pane
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    QTreeView *list = window.findChild<QTreeView *>(QStringLiteral("ListView2"));
    std::sort(times.begin(), times.end());
    std::printf("episode folder of %d files, %d rows shown\n", fileCount, list->model()->rowCount());
    std::printf("details pane fill: median %.1f ms, best %.1f ms, worst %.1f ms (goal: well under 300 ms)\n",
                times[times.size() / 2], times.front(), times.back());
    return 0;
}
