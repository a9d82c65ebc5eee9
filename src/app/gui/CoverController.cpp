#include "app/gui/CoverController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "covers/CoverTexts.h"
#include "covers/PictureFolder.h"
#include "covers/SearchSites.h"
#include "covers/gui/BrowserSearchDialog.h"
#include "covers/gui/CoverPicture.h"
#include "covers/gui/PageFetchSearchDialog.h"
#include "platform/Desktop.h"
#include "platform/FileChooser.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace tessaly {

CoverController::CoverController(WorkspaceSession &session, ProjectChoice &choice, QWidget *coverPreview,
                                 FileChooser &fileChooser, HttpClient &http, Clipboard &clipboard,
                                 Desktop &desktop, BrowserFactory makeBrowser, QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_choice(choice), m_fileChooser(fileChooser), m_http(http),
      m_clipboard(clipboard), m_desktop(desktop), m_makeBrowser(std::move(makeBrowser)),
      m_dialogParent(dialogParent)
{
    coverPreview->setAcceptDrops(true);
    coverPreview->installEventFilter(this);
}

void CoverController::pickCoverFile()
{
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    const QString picture =
        m_fileChooser.openFileIn(QStringLiteral("图片文件(*.jpg)"), covers::pictureStartFolder());
    if (picture.isEmpty())
        return;
    covers::rememberPictureFolder(picture);
    writeCover(*project, picture);
}

void CoverController::useCoverFile(const QString &picture)
{
    if (const std::optional<QString> project = m_choice.usableChosenProject())
        writeCover(*project, picture);
}

void CoverController::writeCover(const QString &project, const QString &picture)
{
    // Cancelling, or a file that is no picture, ends the command quietly.
    if (picture.isEmpty() || !covers::isLoadablePicture(picture))
        return;
    if (setCover(project, picture))
        m_choice.reloadCoverPreview();
}

bool CoverController::setCover(const QString &project, const QString &picture)
{
    return m_session.setCover(project, picture).done();
}

namespace {

// The one local JPEG file a drag carries, or empty.
QString draggedJpeg(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QString path = data->urls().first().toLocalFile();
    const QString suffix = QFileInfo(path).suffix();
    const bool jpeg = suffix.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0 ||
                      suffix.compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0;
    return jpeg && QFileInfo(path).isFile() ? path : QString();
}

} // namespace

bool CoverController::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString picture = draggedJpeg(drop->mimeData());
    if (picture.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Once the drop is over: the command may ask or say something.
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, picture] { useCoverFile(picture); }, Qt::QueuedConnection);
    return true;
}

void CoverController::searchByPageFetch()
{
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    const Workspace &workspace = m_session.workspace();
    covers::PageFetchSearchDialog dialog(
        workspace, *project,
        [this, project = *project](const QString &picture) { return setCover(project, picture); },
        covers::searchTemplate(workspace, covers::SearchSite::PageFetch), m_http, m_clipboard, m_desktop, {},
        m_dialogParent);
    if (dialog.exec() == QDialog::Accepted)
        m_choice.reloadCoverPreview();
}

void CoverController::searchInBrowser()
{
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    const Workspace &workspace = m_session.workspace();
    covers::BrowserSearchDialog dialog(
        workspace, *project,
        [this, project = *project](const QString &picture) { return setCover(project, picture); },
        covers::searchTemplate(workspace, covers::SearchSite::Browser), m_makeBrowser, m_http, m_clipboard,
        m_desktop, {}, m_dialogParent);
    if (dialog.exec() == QDialog::Accepted)
        m_choice.reloadCoverPreview();
}

} // namespace tessaly
