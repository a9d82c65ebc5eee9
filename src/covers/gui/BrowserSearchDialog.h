#pragma once

#include "covers/SearchLimits.h"
#include "covers/gui/CoverPicture.h"
#include "platform/gui/BrowserView.h"
#include "workspace/Workspace.h"

#include <QDialog>

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

// `Form6` "查找封面": shows the second search site's result page in an
// embedded browser; "分析页面内容 >" cuts the pictures out of the page the
// browser shows into the list, where they are previewed and taken as the
// cover as in `Form5`. A search first shows the waiting page, then loads
// the site; "搜索" reads "正在加载.." until that load ends, well or not.
class BrowserSearchDialog : public QDialog
{
    Q_OBJECT

public:
    // OK hands the chosen picture to `writeCover`.
    BrowserSearchDialog(const Workspace &workspace, const QString &project, CoverWriter writeCover,
                        const QString &urlTemplate, const BrowserFactory &makeBrowser, HttpClient &http,
                        Clipboard &clipboard, Desktop &desktop, const SearchLimits &limits = {},
                        QWidget *parent = nullptr);

    CandidatePicker &picker() { return *m_picker; }
    EmbeddedBrowser &browser() { return *m_browser.browser; }

    // `Command1`: loads the search site's page for the keyword.
    void search();
    // `Command4`: lists what the page that the browser shows now holds.
    void analyse();
    // `M1` "复制图片链接".
    void copyLink();

    void done(int result) override;

signals:
    // An analysis has listed its rows (or found none).
    void analysisFinished();

private:
    // Where a search's loading stands.
    enum class Loading
    {
        Idle,
        WaitingPage, // the waiting page is loading; the site comes next
        SearchPage
    };

    void buildLayout(const BrowserFactory &makeBrowser);
    void onLoadEnded(const QUrl &url, bool ok);
    QString startPageFile() const;
    bool writeStartPage(bool waitingForSearch);
    void showBrowser(bool shown);
    void onMarkup(const std::optional<QString> &markup);
    void takeCover();

    Workspace m_workspace;
    CoverWriter m_writeCover;
    QString m_urlTemplate;
    SearchLimits m_limits;
    // Counts searches and analyses; a body markup that arrives for an
    // older one is dropped.
    quint64 m_generation = 0;
    Loading m_loading = Loading::Idle;
    QUrl m_searchUrl;

    QLineEdit *m_keyword = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_analyseButton = nullptr;
    BrowserView m_browser;
    QTreeView *m_list = nullptr;
    QLabel *m_preview = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    CandidatePicker *m_picker = nullptr;
    LinkMenu *m_linkMenu = nullptr;
};

} // namespace tessaly::covers
