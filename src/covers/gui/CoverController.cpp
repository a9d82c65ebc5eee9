#include "covers/gui/CoverController.h"

#include "app/gui/MainWindow.h"
#include "catalogue/ProjectList.h"
#include "covers/CoverTexts.h"
#include "covers/PictureFolder.h"
#include "covers/SearchSites.h"
#include "covers/gui/BrowserSearchDialog.h"
#include "covers/gui/CoverPicture.h"
#include "covers/gui/PageFetchSearchDialog.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "platform/gui/DialogFileChooser.h"
#include "platform/gui/NetworkHttpClient.h"
#include "platform/gui/QtClipboard.h"

#include <QPushButton>

namespace tessaly::covers {

CoverController::CoverController(MainWindow &window)
    : QObject(&window), m_window(window), m_fileChooser(std::make_unique<DialogFileChooser>(&window)),
      m_http(std::make_unique<NetworkHttpClient>()), m_clipboard(std::make_unique<QtClipboard>()),
      m_makeBrowser(&makeWebEngineBrowser)
{
    if (QPushButton *button = window.button("Command5"))
        connect(button, &QPushButton::clicked, this, &CoverController::pickCoverFile);
    if (QPushButton *button = window.button("Command10"))
        connect(button, &QPushButton::clicked, this, &CoverController::searchByPageFetch);
    if (QPushButton *button = window.button("Command11"))
        connect(button, &QPushButton::clicked, this, &CoverController::searchInBrowser);
}

CoverController::~CoverController() = default;

void CoverController::setFileChooser(std::unique_ptr<FileChooser> chooser)
{
    m_fileChooser = std::move(chooser);
}

void CoverController::setHttpClient(std::unique_ptr<HttpClient> http)
{
    m_http = std::move(http);
}

std::optional<QString> CoverController::projectForCover()
{
    if (!m_window.guardChosenProject())
        return std::nullopt;
    const std::optional<QString> project = m_window.chosenProject();
    if (!project)
        return std::nullopt;
    if (!isUsableProjectName(*project)) {
        Messages::error(texts::unusableProjectName() + *project);
        return std::nullopt;
    }
    return project;
}

void CoverController::pickCoverFile()
{
    const std::optional<QString> project = projectForCover();
    if (!project)
        return;
    const QString picture =
        m_fileChooser->openFileIn(QStringLiteral("图片文件(*.jpg)"), pictureStartFolder());
    if (picture.isEmpty())
        return;
    rememberPictureFolder(picture);
    // A file that is no picture ends the command quietly.
    if (!isLoadablePicture(picture))
        return;
    if (writeCoverFrom(picture, m_window.workspace().coverFile(*project)))
        m_window.reloadCoverPreview();
}

void CoverController::searchByPageFetch()
{
    const std::optional<QString> project = projectForCover();
    if (!project)
        return;
    const Workspace &workspace = m_window.workspace();
    PageFetchSearchDialog dialog(workspace, *project, searchTemplate(workspace, SearchSite::PageFetch),
                                 *m_http, *m_clipboard, *Desktop::instance(), {}, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        m_window.reloadCoverPreview();
}

void CoverController::searchInBrowser()
{
    const std::optional<QString> project = projectForCover();
    if (!project)
        return;
    const Workspace &workspace = m_window.workspace();
    BrowserSearchDialog dialog(workspace, *project, searchTemplate(workspace, SearchSite::Browser),
                               m_makeBrowser, *m_http, *m_clipboard, *Desktop::instance(), {}, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        m_window.reloadCoverPreview();
}

} // namespace tessaly::covers
