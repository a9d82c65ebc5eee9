#include "app/gui/WorkspaceMenu.h"

#include "app/WorkspaceCommands.h"
#include "app/gui/MainWindow.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "platform/gui/DialogColourChooser.h"
#include "site/gui/StyleDialog.h"

#include <QAction>
#include <QPushButton>

namespace tessaly {

namespace {

using namespace workspace_commands;

void openOrSayMissing(const FolderToOpen &folder, const QString &missingText)
{
    switch (folder.outcome) {
    case FolderToOpen::Outcome::Nothing:
        break;
    case FolderToOpen::Outcome::Open:
        Desktop::instance()->openFolder(folder.path);
        break;
    case FolderToOpen::Outcome::Missing:
        Messages::error(missingText);
        break;
    }
}

bool userAgrees(const FolderClearing &clearing)
{
    return Messages::question(clearing.question) == MessageAnswer::Yes;
}

} // namespace

WorkspaceMenu::WorkspaceMenu(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("WorkspaceMenu"));
    connect(window.action("M2"), &QAction::triggered, this, &WorkspaceMenu::editPageSource);
    connect(window.action("M3"), &QAction::triggered, this, &WorkspaceMenu::openMovieFolder);
    connect(window.action("M4"), &QAction::triggered, this, &WorkspaceMenu::openSiteFolder);
    connect(window.action("M5"), &QAction::triggered, this, &WorkspaceMenu::clearCache);
    connect(window.action("M6"), &QAction::triggered, this, &WorkspaceMenu::clearLog);
    connect(window.action("M7"), &QAction::triggered, this, &WorkspaceMenu::editStyle);
    connect(window.button("Command8"), &QPushButton::clicked, &window, &MainWindow::openSiteLink);
}

void WorkspaceMenu::editPageSource()
{
    openOrSayMissing(styleFolder(m_window.workspace()), styleFolderMissingText());
}

void WorkspaceMenu::openMovieFolder()
{
    const FolderToOpen folder = movieFolder(m_window.workspace());
    openOrSayMissing(folder, Messages::withPath(folder.path, folderMissingText()));
}

void WorkspaceMenu::openSiteFolder()
{
    const FolderToOpen folder = siteFolder(m_window.workspace());
    openOrSayMissing(folder, Messages::withPath(folder.path, folderMissingText()));
}

void WorkspaceMenu::clearCache()
{
    if (userAgrees(cacheClearing(m_window.workspace())))
        m_window.session().clearCache();
}

void WorkspaceMenu::clearLog()
{
    if (userAgrees(logClearing(m_window.workspace())))
        m_window.session().clearLogs();
}

void WorkspaceMenu::editStyle()
{
    DialogColourChooser colours(&m_window);
    StyleDialog dialog(m_window.workspace(), &makeWebEngineBrowser, colours, &m_window);
    dialog.exec();
}

} // namespace tessaly
