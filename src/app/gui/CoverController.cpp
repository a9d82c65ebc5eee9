#include "app/gui/CoverController.h"

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

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
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
    if (auto *preview = window.findChild<QWidget *>(QStringLiteral("Picture1"))) {
        preview->setAcceptDrops(true);
        preview->installEventFilter(this);
    }
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
    writeCover(*project, picture);
}

void CoverController::useCoverFile(const QString &picture)
{
    if (const std::optional<QString> project = projectForCover())
        writeCover(*project, picture);
}

void CoverController::writeCover(const QString &project, const QString &picture)
{
    // Cancelling, or a file that is no picture, ends the command quietly.
    if (picture.isEmpty() || !isLoadablePicture(picture))
        return;
    if (m_window.session().setCover(project, picture).done())
        m_window.reloadCoverPreview();
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
