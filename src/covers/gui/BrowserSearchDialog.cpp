#include "covers/gui/BrowserSearchDialog.h"

#include "covers/CoverScan.h"
#include "covers/CoverTexts.h"
#include "covers/SearchUrl.h"
#include "covers/StartPage.h"
#include "covers/gui/CandidatePicker.h"
#include "covers/gui/LinkMenu.h"
#include "covers/gui/SearchDialogParts.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
#include "platform/gui/EscapeCloses.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tessaly::covers {

BrowserSearchDialog::BrowserSearchDialog(const Workspace &workspace, const QString &project,
                                         CoverWriter writeCover, const QString &urlTemplate,
                                         const BrowserFactory &makeBrowser, HttpClient &http,
                                         Clipboard &clipboard, Desktop &desktop, const SearchLimits &limits,
                                         QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_writeCover(std::move(writeCover)),
      m_urlTemplate(urlTemplate), m_limits(limits)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(texts::searchTitle());
    buildLayout(makeBrowser);
    new EscapeCloses(*this);

    m_picker =
        new CandidatePicker(*m_list, *m_preview, m_workspace.temp(), http, desktop, limits.image, this);
    m_linkMenu = new LinkMenu(*m_list, *m_picker, clipboard, this);
    QPointer<BrowserSearchDialog> alive(this);
    m_browser.browser->setLoadEndedCallback([alive](const QUrl &url, bool ok) {
        if (alive)
            alive->onLoadEnded(url, ok);
    });
    // A cache folder that cannot be made is reported by the start page's
    // write just below.
    if (!files::folderExists(m_workspace.temp()))
        static_cast<void>(files::makeFolder(m_workspace.temp()));
    m_keyword->setText(project);
    showBrowser(true);
    if (writeStartPage(false))
        m_browser.browser->loadFile(startPageFile());

    connect(m_searchButton, &QPushButton::clicked, this, &BrowserSearchDialog::search);
    connect(m_keyword, &QLineEdit::returnPressed, this, [this] {
        if (!m_keyword->text().isEmpty())
            search();
    });
    connect(m_analyseButton, &QPushButton::clicked, this, &BrowserSearchDialog::analyse);
    connect(m_okButton, &QPushButton::clicked, this, &BrowserSearchDialog::takeCover);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void BrowserSearchDialog::buildLayout(const BrowserFactory &makeBrowser)
{
    auto *frame = new QGroupBox(texts::searchTitle(), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *keywordLabel = new QLabel(texts::keywordLabel(), frame);
    m_keyword = new QLineEdit(frame);
    m_keyword->setObjectName(QStringLiteral("Text3"));
    m_searchButton = makeButton("Command1", texts::search(), frame);
    m_searchButton->setToolTip(QStringLiteral("按关键字在站点2搜索图片"));

    // The browser and the list share one area; one of them is shown.
    auto *sharedArea = new QWidget(frame);
    sharedArea->setMinimumSize(ListWidth, ListHeight);
    m_browser = makeBrowser(sharedArea);
    m_browser.widget->setObjectName(QStringLiteral("WebBrowser1"));
    m_list = new QTreeView(sharedArea);
    m_list->setObjectName(QStringLiteral("ListView1"));
    auto *sharedLayout = new QVBoxLayout(sharedArea);
    sharedLayout->setContentsMargins(0, 0, 0, 0);
    sharedLayout->addWidget(m_browser.widget);
    sharedLayout->addWidget(m_list);
    m_preview = makePreview(frame);

    auto *keywordRow = new QHBoxLayout;
    keywordRow->addWidget(keywordLabel);
    keywordRow->addWidget(m_keyword, 1);
    keywordRow->addWidget(m_searchButton);
    auto *frameLayout = new QGridLayout(frame);
    frameLayout->addLayout(keywordRow, 0, 0);
    frameLayout->addWidget(sharedArea, 1, 0);
    frameLayout->addWidget(m_preview, 0, 1, 2, 1);

    m_analyseButton = makeButton("Command4", texts::pressSearch(), this);
    m_analyseButton->setToolTip(QStringLiteral("从浏览器显示的页面中找出图片链接"));
    m_okButton = makeButton("Command2", okCaption(), this);
    m_cancelButton = makeButton("Command3", cancelCaption(), this);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_analyseButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_okButton);
    buttonRow->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonRow);
}

QString BrowserSearchDialog::startPageFile() const
{
    return files::joinPath(m_workspace.temp(), QLatin1String(StartPageFileName));
}

bool BrowserSearchDialog::writeStartPage(bool waitingForSearch)
{
    const QString file = startPageFile();
    const files::Outcome<void> written = text::writeTextFile(file, startPageText(waitingForSearch));
    if (written)
        return true;
    Messages::error(written.failure().text());
    return false;
}

void BrowserSearchDialog::showBrowser(bool shown)
{
    m_browser.browser->setShown(shown);
    m_list->setVisible(!shown);
    m_analyseButton->setVisible(shown);
}

void BrowserSearchDialog::search()
{
    if (m_urlTemplate.isEmpty()) {
        Messages::error(texts::noSearchAddress());
        return;
    }
    ++m_generation;
    if (!writeStartPage(true))
        return;
    showBrowser(true);
    m_browser.browser->setSilent(true);
    m_searchButton->setText(texts::loading());
    m_analyseButton->setText(texts::analysePage());
    // The site is loaded once the waiting page is up: loading both at once
    // would cancel the waiting page and leave the previous page in view.
    m_searchUrl = QUrl(browserSearchUrl(m_urlTemplate, m_keyword->text()));
    m_loading = Loading::WaitingPage;
    m_browser.browser->loadFile(startPageFile());
}

void BrowserSearchDialog::onLoadEnded(const QUrl &url, bool ok)
{
    Q_UNUSED(ok);
    const bool waitingPage = url.isLocalFile() && QFileInfo(url.toLocalFile()) == QFileInfo(startPageFile());
    if (m_loading == Loading::WaitingPage && waitingPage) {
        m_loading = Loading::SearchPage;
        m_browser.browser->loadUrl(m_searchUrl);
    } else if (m_loading == Loading::SearchPage && !waitingPage) {
        // Loaded or failed: either way the user may search again.
        m_loading = Loading::Idle;
        m_searchButton->setText(texts::searchAgain());
    }
}

void BrowserSearchDialog::analyse()
{
    const quint64 generation = ++m_generation;
    // The page is taken as it stands; a load still under way no longer
    // changes the captions.
    m_loading = Loading::Idle;
    showBrowser(false);
    m_searchButton->setText(texts::searchAgain());
    m_picker->clearRows();
    QPointer<BrowserSearchDialog> alive(this);
    m_browser.browser->readBodyMarkup(m_limits.markupCharacters,
                                      [alive, generation](const std::optional<QString> &markup) {
                                          if (alive && generation == alive->m_generation)
                                              alive->onMarkup(markup);
                                      });
}

void BrowserSearchDialog::onMarkup(const std::optional<QString> &markup)
{
    // No body means no rows, like markup that holds no pair.
    if (markup)
        m_picker->setRows(scanBrowserMarkup(*markup));
    if (m_picker->rowCount() == 0)
        Messages::error(texts::nothingFound());
    emit analysisFinished();
}

void BrowserSearchDialog::copyLink()
{
    m_linkMenu->copyLink();
}

void BrowserSearchDialog::takeCover()
{
    if (m_picker->takeAsCover(m_writeCover))
        accept();
}

void BrowserSearchDialog::done(int result)
{
    // A body markup still on its way belongs to a dialog that is closing.
    ++m_generation;
    m_picker->cancelDownload();
    QDialog::done(result);
}

} // namespace tessaly::covers
