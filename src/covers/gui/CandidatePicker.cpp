#include "covers/gui/CandidatePicker.h"

#include "covers/CandidateFile.h"
#include "covers/CoverTexts.h"
#include "covers/HtmlText.h"
#include "covers/gui/CandidateListModel.h"
#include "covers/gui/CoverPicture.h"
#include "covers/gui/SearchDialogParts.h"
#include "files/FileServices.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTreeView>

namespace tessaly::covers {

CandidatePicker::CandidatePicker(QTreeView &list, QLabel &previewLabel, QString tempFolder, HttpClient &http,
                                 Desktop &desktop, HttpLimits imageLimits, QObject *parent)
    : QObject(parent), m_list(list), m_preview(previewLabel), m_tempFolder(std::move(tempFolder)),
      m_http(http), m_desktop(desktop), m_imageLimits(imageLimits)
{
    // Report view: a visible "名称" column and a hidden one for the link.
    m_model = new CandidateListModel(this);
    m_list.setModel(m_model);
    m_list.setColumnHidden(CandidateListModel::LinkColumn, true);
    m_list.header()->setStretchLastSection(false);
    m_list.header()->setSectionResizeMode(CandidateListModel::TitleColumn, QHeaderView::Stretch);
    m_list.setRootIsDecorated(false);
    m_list.setUniformRowHeights(true);
    m_list.setSelectionMode(QAbstractItemView::SingleSelection);
    m_list.setAllColumnsShowFocus(true);
    m_list.setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_preview.setAlignment(Qt::AlignCenter);

    // Selection, not the current row: Tab makes a row current without
    // selecting it, and that must not download anything.
    connect(m_list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CandidatePicker::onSelectionChanged);
    connect(&m_list, &QTreeView::clicked, this, &CandidatePicker::onClicked);
    connect(&m_list, &QTreeView::doubleClicked, this,
            [this](const QModelIndex &index) { preview(index.row(), true); });
    // The right button's press would select and preview the row; the
    // context menu request that follows selects it quietly instead.
    m_list.viewport()->installEventFilter(this);
}

CandidatePicker::~CandidatePicker()
{
    cancelDownload();
}

void CandidatePicker::setRows(const QList<CoverCandidate> &rows)
{
    cancelDownload();
    clearPreview();
    const QSignalBlocker blocker(m_list.selectionModel());
    m_model->setCandidates(rows);
}

int CandidatePicker::rowCount() const
{
    return m_model->rowCount();
}

int CandidatePicker::selectedRow() const
{
    const QModelIndex current = m_list.currentIndex();
    if (!current.isValid() ||
        !m_list.selectionModel()->isSelected(current.siblingAtColumn(CandidateListModel::TitleColumn)))
        return -1;
    return current.row();
}

const CoverCandidate &CandidatePicker::candidate(int row) const
{
    return m_model->candidate(row);
}

QString CandidatePicker::candidateFile(int row) const
{
    return candidateFilePath(m_tempFolder, candidate(row).title);
}

void CandidatePicker::selectWithoutPreview(int row)
{
    if (row < 0 || selectedRow() == row)
        return;
    m_quietSelection = true;
    m_list.setCurrentIndex(m_model->index(row, CandidateListModel::TitleColumn));
    m_quietSelection = false;
}

bool CandidatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list.viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick ||
         event->type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
        return true;
    return QObject::eventFilter(watched, event);
}

void CandidatePicker::onSelectionChanged()
{
    const int row = selectedRow();
    if (!m_quietSelection) {
        preview(row, false);
        return;
    }
    // The preview belongs to the selected row or shows nothing.
    if (row != m_previewRow.row()) {
        cancelDownload();
        clearPreview();
    }
}

void CandidatePicker::onClicked(const QModelIndex &index)
{
    const int row = index.row();
    if (row < 0 || row != selectedRow() || row == m_previewRow.row() ||
        (m_download && row == m_downloadRow.row()))
        return;
    preview(row, false);
}

void CandidatePicker::preview(int row, bool downloadAgain)
{
    cancelDownload();
    const QPersistentModelIndex index = m_model->index(row, CandidateListModel::TitleColumn);
    if (!index.isValid() || !m_list.selectionModel()->isSelected(index))
        return;
    if (index != m_previewRow)
        clearPreview();
    const QString link = candidate(row).link;
    const QString file = candidateFile(row);
    if (!isWebLink(link)) {
        reportLoadingError(link);
        return;
    }
    if (!downloadAgain && files::plainFileExists(file)) {
        if (showPicture(file)) {
            m_previewRow = index;
            return;
        }
        reportLoadingError(link);
        return;
    }
    if (!files::folderExists(m_tempFolder)) {
        if (const files::Outcome<void> made = files::makeFolder(m_tempFolder); !made) {
            Messages::error(made.failure().text());
            emit previewFailed();
            return;
        }
    }
    m_download = m_http.get(QUrl(link), m_imageLimits);
    m_downloadRow = index;
    connect(m_download, &HttpRequest::finished, this, [this, link, file](const HttpResult &result) {
        m_download->deleteLater();
        m_download = nullptr;
        const QPersistentModelIndex row = m_downloadRow;
        m_downloadRow = QPersistentModelIndex();
        if (onDownloaded(result, link, file))
            m_previewRow = row;
    });
}

bool CandidatePicker::onDownloaded(const HttpResult &result, const QString &link, const QString &file)
{
    // Only a whole reply that is a picture becomes the candidate file.
    QImage picture;
    if (!result.ok || !picture.loadFromData(result.body)) {
        reportLoadingError(link);
        return false;
    }
    if (const files::Outcome<void> written = files::writeFileAtomically(file, result.body); !written) {
        Messages::error(written.failure().text());
        emit previewFailed();
        return false;
    }
    if (!showPicture(file)) {
        reportLoadingError(link);
        return false;
    }
    return true;
}

bool CandidatePicker::showPicture(const QString &file)
{
    const QPixmap picture(file);
    if (picture.isNull())
        return false;
    m_preview.setPixmap(picture.scaled(m_preview.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    emit previewShown(file);
    return true;
}

void CandidatePicker::clearPreview()
{
    m_preview.clear();
    m_previewRow = QPersistentModelIndex();
}

void CandidatePicker::reportLoadingError(const QString &link)
{
    Messages::error(texts::loadingError() + link);
    // Let the desktop's browser try what the preview could not show; only
    // web links are handed over, never a file or script link.
    if (isWebLink(link))
        m_desktop.openUrlOrSay(link);
    emit previewFailed();
}

void CandidatePicker::cancelDownload()
{
    if (m_download) {
        m_download->cancel();
        m_download->deleteLater();
        m_download = nullptr;
    }
    m_downloadRow = QPersistentModelIndex();
}

bool CandidatePicker::takeAsCover(const CoverWriter &writeCover)
{
    if (rowCount() == 0) {
        Messages::error(texts::listEmpty());
        return false;
    }
    const int row = selectedRow();
    if (row < 0) {
        Messages::error(texts::nothingSelected());
        return false;
    }
    const QString file = candidateFile(row);
    if (!files::plainFileExists(file) || !isLoadablePicture(file)) {
        Messages::error(texts::notDownloaded());
        return false;
    }
    return writeCover(file);
}

} // namespace tessaly::covers
