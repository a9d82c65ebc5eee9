#pragma once

#include "covers/CoverScan.h"
#include "covers/gui/CoverPicture.h"
#include "platform/Http.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>

class QLabel;
class QTreeView;

namespace tessaly {
class Desktop;
}

namespace tessaly::covers {

class CandidateListModel;

// The result list and the preview the two search dialogs share: the rows,
// the candidate pictures in `Temp`, the preview of the selected row and the
// cover taken from it. The preview always belongs to the selected row (or
// is empty), and only the latest download counts. A row is previewed when
// it becomes selected by a left click or the keyboard, never by a right
// click or by the focus arriving through Tab; clicking a row that is not
// shown (its download failed, say) tries it again.
class CandidatePicker : public QObject
{
    Q_OBJECT

public:
    CandidatePicker(QTreeView &list, QLabel &preview, QString tempFolder, HttpClient &http, Desktop &desktop,
                    HttpLimits imageLimits, QObject *parent = nullptr);
    ~CandidatePicker() override;

    void setRows(const QList<CoverCandidate> &rows);
    void clearRows() { setRows({}); }
    int rowCount() const;
    // The selected row, or -1.
    int selectedRow() const;
    const CoverCandidate &candidate(int row) const;

    // Shows the row's candidate picture, downloading it first when it is not
    // in `Temp` yet, or always when `downloadAgain`.
    void preview(int row, bool downloadAgain);
    // OK: hands the selected row's picture to `writeCover`. Says why when
    // there is none to hand; true once the cover is written.
    bool takeAsCover(const CoverWriter &writeCover);
    // Abandons a download in flight; its picture and messages never come.
    void cancelDownload();

    QString candidateFile(int row) const;

    // Makes the row (if any: -1 is none) the selected one without
    // downloading or previewing it, as a right click does.
    void selectWithoutPreview(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A row's picture is in the preview.
    void previewShown(const QString &file);
    // A row's picture could not be shown; its message has been given.
    void previewFailed();

private:
    void onSelectionChanged();
    void onClicked(const QModelIndex &index);
    // True once the downloaded picture is in the preview.
    bool onDownloaded(const HttpResult &result, const QString &link, const QString &file);
    bool showPicture(const QString &file);
    void clearPreview();
    void reportLoadingError(const QString &link);

    QTreeView &m_list;
    CandidateListModel *m_model = nullptr;
    QLabel &m_preview;
    QString m_tempFolder;
    HttpClient &m_http;
    Desktop &m_desktop;
    HttpLimits m_imageLimits;
    QPointer<HttpRequest> m_download;
    QPersistentModelIndex m_downloadRow;
    // The row whose picture the preview shows.
    QPersistentModelIndex m_previewRow;
    bool m_quietSelection = false;
};

} // namespace tessaly::covers
