#include "app/gui/WindowWiring.h"

#include "app/gui/CatalogueDialogsController.h"
#include "app/gui/CommandsDuringRuns.h"
#include "app/gui/CoverController.h"
#include "app/gui/ExampleController.h"
#include "app/gui/KeyboardAndTips.h"
#include "app/gui/ProjectCommandsController.h"
#include "app/gui/SettingsController.h"
#include "app/gui/SiteController.h"
#include "app/gui/VideoCoverController.h"
#include "app/gui/WebCopyController.h"
#include "app/gui/WindowControls.h"
#include "app/gui/WorkspaceMenuController.h"
#include "catalogue/gui/DetailsPane.h"
#include "catalogue/gui/EpisodeChecks.h"
#include "platform/gui/BackgroundRun.h"
#include "platform/gui/DialogColourChooser.h"
#include "platform/gui/DialogFileChooser.h"
#include "platform/gui/NetworkHttpClient.h"
#include "platform/gui/ProgramRestart.h"
#include "platform/gui/QtClipboard.h"
#include "platform/gui/QtDesktop.h"
#include "platform/network/NetworkServerProbe.h"
#include "site/VideoCheck.h"
#include "site/WebCopyTexts.h"
#include "site/gui/MessagePanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <memory>

namespace tessaly {

namespace {

// The seams a caller left empty, as Qt's own classes, kept as long as the
// window.
class QtSeams : public QObject
{
public:
    QtSeams(QMainWindow &window, const WindowSeams &given) : QObject(&window), m_seams(given)
    {
        if (!m_seams.desktop)
            m_seams.desktop = keep(std::make_unique<QtDesktop>(), m_desktop);
        if (!m_seams.fileChooser)
            m_seams.fileChooser = keep(std::make_unique<DialogFileChooser>(&window), m_fileChooser);
        if (!m_seams.http)
            m_seams.http = keep(std::make_unique<NetworkHttpClient>(), m_http);
        if (!m_seams.clipboard)
            m_seams.clipboard = keep(std::make_unique<QtClipboard>(), m_clipboard);
        if (!m_seams.colours)
            m_seams.colours = keep(std::make_unique<DialogColourChooser>(&window), m_colours);
        if (!m_seams.serverProbe)
            m_seams.serverProbe = keep(std::make_unique<NetworkServerProbe>(), m_serverProbe);
        if (!m_seams.makeBrowser)
            m_seams.makeBrowser = &makeWebEngineBrowser;
        if (!m_seams.restart)
            m_seams.restart = &restartProgramOn;
        if (m_seams.exampleMaker.isEmpty())
            m_seams.exampleMaker =
                QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli-demo");
    }

    const WindowSeams &seams() const { return m_seams; }

private:
    template <typename Seam, typename Made>
    static Seam *keep(std::unique_ptr<Made> made, std::unique_ptr<Seam> &owner)
    {
        owner = std::move(made);
        return owner.get();
    }

    WindowSeams m_seams;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<FileChooser> m_fileChooser;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<ServerProbe> m_serverProbe;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<ColourChooser> m_colours;
};

void wireProjectList(ProjectCommandsController *list, CatalogueDialogsController *catalogue,
                     const WindowControls &c)
{
    using Move = WorkspaceSession::Move;
    QObject::connect(c.projectView, &QWidget::customContextMenuRequested, list,
                     &ProjectCommandsController::showMenu);
    QObject::connect(c.remove, &QPushButton::clicked, list, &ProjectCommandsController::deleteSelected);
    QObject::connect(c.deleteProject, &QAction::triggered, list, &ProjectCommandsController::deleteSelected);
    QObject::connect(c.renameProject, &QAction::triggered, list, &ProjectCommandsController::renameSelected);
    QObject::connect(c.openProjectFolder, &QAction::triggered, list,
                     &ProjectCommandsController::openSelectedFolder);
    QObject::connect(c.moveToFirst, &QAction::triggered, list, [list] { list->moveSelected(Move::ToFirst); });
    QObject::connect(c.moveUp, &QAction::triggered, list, [list] { list->moveSelected(Move::Up); });
    QObject::connect(c.moveDown, &QAction::triggered, list, [list] { list->moveSelected(Move::Down); });
    QObject::connect(c.moveToLast, &QAction::triggered, list, [list] { list->moveSelected(Move::ToLast); });

    QObject::connect(c.add, &QPushButton::clicked, catalogue, &CatalogueDialogsController::openNewProject);
    QObject::connect(c.newProject, &QAction::triggered, catalogue,
                     &CatalogueDialogsController::openNewProject);
    QObject::connect(c.chooseFolder, &QPushButton::clicked, catalogue,
                     &CatalogueDialogsController::openEpisodeFolderChooser);
    QObject::connect(list, &ProjectCommandsController::pathDropped, catalogue,
                     &CatalogueDialogsController::openNewProjectFor);
}

void wireWorkspaceMenu(WorkspaceMenuController *menu, SettingsController *settings, const WindowControls &c)
{
    QObject::connect(c.settings, &QAction::triggered, settings, &SettingsController::openSettings);
    QObject::connect(c.editPageSource, &QAction::triggered, menu, &WorkspaceMenuController::editPageSource);
    QObject::connect(c.openMovieFolder, &QAction::triggered, menu, &WorkspaceMenuController::openMovieFolder);
    QObject::connect(c.openSiteFolder, &QAction::triggered, menu, &WorkspaceMenuController::openSiteFolder);
    QObject::connect(c.clearCache, &QAction::triggered, menu, &WorkspaceMenuController::clearCache);
    QObject::connect(c.clearLogs, &QAction::triggered, menu, &WorkspaceMenuController::clearLog);
    QObject::connect(c.editStyle, &QAction::triggered, menu, &WorkspaceMenuController::editStyle);
    QObject::connect(c.openSiteLink, &QPushButton::clicked, menu, &WorkspaceMenuController::openSiteLink);
}

void wireCovers(CoverController *coverCommands, VideoCoverController *videoCovers, const WindowControls &c)
{
    QObject::connect(c.pickCover, &QPushButton::clicked, coverCommands, &CoverController::pickCoverFile);
    QObject::connect(c.searchSite1, &QPushButton::clicked, coverCommands,
                     &CoverController::searchByPageFetch);
    QObject::connect(c.searchSite2, &QPushButton::clicked, coverCommands, &CoverController::searchInBrowser);
    QObject::connect(c.grabFromVideo, &QPushButton::clicked, videoCovers,
                     &VideoCoverController::grabForChosenProject);
    QObject::connect(c.grabMissingCovers, &QAction::triggered, videoCovers,
                     &VideoCoverController::grabMissingCovers);
}

} // namespace

void wireWindow(QMainWindow &window, const WindowControls &controls, WorkspaceSession &session,
                ProjectChoice &choice, BackgroundRun &background, const WindowSeams &seams)
{
    const WindowSeams &outside = (new QtSeams(window, seams))->seams();
    const ProjectMenu projectMenu{controls.projectMenu,   controls.newProject,        controls.renameProject,
                                  controls.deleteProject, controls.openProjectFolder, controls.moveToFirst,
                                  controls.moveUp,        controls.moveDown,          controls.moveToLast};

    auto *list = new ProjectCommandsController(session, choice, *outside.desktop, controls.projectView,
                                               projectMenu, &window);
    auto *menu = new WorkspaceMenuController(session, *outside.desktop, outside.makeBrowser, *outside.colours,
                                             &window);
    auto *catalogue = new CatalogueDialogsController(session, choice, &window);
    session.setServerProbe(outside.serverProbe);
    auto *settings =
        new SettingsController(session, choice, *outside.serverProbe, *outside.fileChooser, &window);
    auto *site = new SiteController(session, choice, background, window.centralWidget(), &window);
    auto *coverCommands = new CoverController(session, choice, controls.details->coverPreview(),
                                              *outside.fileChooser, *outside.http, *outside.clipboard,
                                              *outside.desktop, outside.makeBrowser, &window);
    controls.details->setEpisodeChecks(new EpisodeChecks(videoFactsFile(session.workspace()),
                                                         controls.details->episodeModel(), controls.details));
    auto *videoCovers = new VideoCoverController(session, choice, background, controls.details->episodeView(),
                                                 site->panel(), site->shownLines(), &window);

    auto *webCopies = new WebCopyController(session, choice, background, controls.details->episodeView(),
                                            site->panel(), site->shownLines(), &window);
    QAction *convertEpisode = videoCovers->episodeMenu()->addAction(webcopy::texts::convertCommand());
    convertEpisode->setObjectName(QStringLiteral("MC2"));
    QObject::connect(convertEpisode, &QAction::triggered, webCopies,
                     &WebCopyController::convertSelectedEpisode);
    QObject::connect(controls.convert, &QPushButton::clicked, webCopies,
                     &WebCopyController::convertChosenProject);
    QObject::connect(controls.convertAll, &QAction::triggered, webCopies, &WebCopyController::convertAll);

    wireProjectList(list, catalogue, controls);
    wireWorkspaceMenu(menu, settings, controls);
    wireCovers(coverCommands, videoCovers, controls);
    QObject::connect(controls.generate, &QPushButton::clicked, site, &SiteController::generateWholeSite);
    QObject::connect(controls.update, &QPushButton::clicked, site, &SiteController::updateSelectedProject);
    site->panel()->setOpenSiteLink([menu] { menu->openSiteLink(); });

    auto *example = new ExampleController(session, background, site->panel(), site->shownLines(),
                                          outside.exampleMaker, outside.restart, window);
    QObject::connect(controls.openExample, &QPushButton::clicked, example, &ExampleController::openExample);
    QObject::connect(&background, &BackgroundRun::runningChanged, controls.openExample,
                     [button = controls.openExample](bool running) { button->setEnabled(!running); });

    const ListMoveKeys moveKeys = attachKeyboardAndTips(window, controls, *site->panel());
    QObject::connect(moveKeys.up, &QAction::triggered, list,
                     [list] { list->moveSelected(WorkspaceSession::Move::Up); });
    QObject::connect(moveKeys.down, &QAction::triggered, list,
                     [list] { list->moveSelected(WorkspaceSession::Move::Down); });
    QObject::connect(moveKeys.rename, &QAction::triggered, list, &ProjectCommandsController::renameSelected);
    disableWorkspaceCommandsDuringRuns(
        background, controls,
        {moveKeys.up, moveKeys.down, moveKeys.rename, videoCovers->episodeAction(), convertEpisode}, &window);
}

} // namespace tessaly
