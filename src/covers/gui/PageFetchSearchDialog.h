#pragma once

#include "covers/SearchLimits.h"
#include "covers/gui/CoverPicture.h"
#include "workspace/Workspace.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace tessaly {
class Clipboard;
class Desktop;
} // namespace tessaly

namespace tessaly::covers {

class CandidatePicker;
class LinkMenu;

// `Form5` "查找封面": fetches the first search site's result page, lists its
// pictures, previews the selected one and makes it the project's cover.
// The first search starts once the dialog is visible. The list's context
// menu copies a row's picture link.
class PageFetchSearchDialog : public QDialog
{
    Q_OBJECT

public:
    // OK hands the chosen picture to `writeCover`.
    PageFetchSearchDialog(const Workspace &workspace, const QString &project, CoverWriter writeCover,
                          const QString &urlTemplate, HttpClient &http, Clipboard &clipboard,
                          Desktop &desktop, const SearchLimits &limits = {}, QWidget *parent = nullptr);
    ~PageFetchSearchDialog() override;

    CandidatePicker &picker() { return *m_picker; }
    // The last fetched page's text.
    const QString &pageText() const { return m_pageText; }

    // `Command1` "重新搜索": fetches the page for the current keyword; a
    // search in flight is abandoned.
    void search();

    void done(int result) override;

signals:
    // A search has ended, with or without rows.
    void searchFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void onPage(const HttpResult &result);
    void cancelSearch();
    void takeCover();

    Workspace m_workspace;
    CoverWriter m_writeCover;
    QString m_urlTemplate;
    HttpClient &m_http;
    SearchLimits m_limits;
    QString m_pageText;
    QPointer<HttpRequest> m_fetch;
    bool m_searchedOnOpening = false;

    QLineEdit *m_keyword = nullptr;
    QPushButton *m_searchButton = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_preview = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    CandidatePicker *m_picker = nullptr;
    LinkMenu *m_linkMenu = nullptr;
};

} // namespace tessaly::covers
