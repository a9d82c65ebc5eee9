#include "app/gui/WorkspaceMenuController.h"

#include "app/WorkspaceCommands.h"
#include "app/WorkspaceSession.h"
#include "files/FileTexts.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "site/gui/StyleDialog.h"

namespace tessaly {

namespace {

using namespace workspace_commands;

void openOrSayMissing(Desktop &desktop, const FolderToOpen &folder, const QString &missingText)
{
    switch (folder.outcome) {
    case FolderToOpen::Outcome::Nothing:
        break;
    case FolderToOpen::Outcome::Open:
        desktop.openFolderOrSay(folder.path);
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

WorkspaceMenuController::WorkspaceMenuController(WorkspaceSession &session, Desktop &desktop,
                                                 BrowserFactory makeBrowser, ColourChooser &colours,
                                                 QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_desktop(desktop), m_makeBrowser(std::move(makeBrowser)),
      m_colours(colours), m_dialogParent(dialogParent)
{
    setObjectName(QStringLiteral("WorkspaceMenuController"));
}

void WorkspaceMenuController::editPageSource()
{
    openOrSayMissing(m_desktop, styleFolder(m_session.workspace()), styleFolderMissingText());
}

void WorkspaceMenuController::openMovieFolder()
{
    const FolderToOpen folder = movieFolder(m_session.workspace());
    openOrSayMissing(m_desktop, folder, Messages::withPath(folder.path, files::texts::folderMissing()));
}

void WorkspaceMenuController::openSiteFolder()
{
    const FolderToOpen folder = siteFolder(m_session.workspace());
    openOrSayMissing(m_desktop, folder, Messages::withPath(folder.path, files::texts::folderMissing()));
}

void WorkspaceMenuController::clearCache()
{
    if (userAgrees(cacheClearing(m_session.workspace())))
        m_session.clearCache();
}

void WorkspaceMenuController::clearLog()
{
    if (userAgrees(logClearing(m_session.workspace())))
        m_session.clearLogs();
}

void WorkspaceMenuController::editStyle()
{
    StyleDialog dialog(m_session.workspace(), m_makeBrowser, m_colours, m_dialogParent);
    dialog.exec();
}

void WorkspaceMenuController::openSiteLink()
{
    const QString link = siteLink(m_session.workspace());
    if (link.trimmed().isEmpty())
        Messages::error(siteLinkFirstText());
    else
        m_desktop.openUrlOrSay(link);
}

} // namespace tessaly
