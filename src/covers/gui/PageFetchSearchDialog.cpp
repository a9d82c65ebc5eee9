#include "covers/gui/PageFetchSearchDialog.h"

#include "covers/CoverScan.h"
#include "covers/CoverTexts.h"
#include "covers/PageDecoding.h"
#include "covers/SearchUrl.h"
#include "covers/gui/CandidatePicker.h"
#include "covers/gui/LinkMenu.h"
#include "covers/gui/SearchDialogParts.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "platform/gui/EscapeCloses.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace tessaly::covers {

PageFetchSearchDialog::PageFetchSearchDialog(const Workspace &workspace, const QString &project,
                                             CoverWriter writeCover, const QString &urlTemplate,
                                             HttpClient &http, Clipboard &clipboard, Desktop &desktop,
                                             const SearchLimits &limits, QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_writeCover(std::move(writeCover)),
      m_urlTemplate(urlTemplate), m_http(http), m_limits(limits)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(texts::searchTitle());
    buildLayout();
    new EscapeCloses(*this);

    // The cache folder is made here when missing; a failure is reported by
    // the first download that needs it.
    if (!files::folderExists(m_workspace.temp()))
        static_cast<void>(files::makeFolder(m_workspace.temp()));
    m_picker =
        new CandidatePicker(*m_list, *m_preview, m_workspace.temp(), http, desktop, limits.image, this);
    m_linkMenu = new LinkMenu(*m_list, *m_picker, clipboard, this);
    m_keyword->setText(project);

    connect(m_searchButton, &QPushButton::clicked, this, &PageFetchSearchDialog::search);
    connect(m_keyword, &QLineEdit::returnPressed, this, [this] {
        if (!m_keyword->text().isEmpty())
            search();
    });
    connect(m_okButton, &QPushButton::clicked, this, &PageFetchSearchDialog::takeCover);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

PageFetchSearchDialog::~PageFetchSearchDialog()
{
    cancelSearch();
}

void PageFetchSearchDialog::buildLayout()
{
    auto *frame = new QGroupBox(texts::searchTitle(), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *keywordLabel = new QLabel(texts::keywordLabel(), frame);
    m_keyword = new QLineEdit(frame);
    m_keyword->setObjectName(QStringLiteral("Text3"));
    m_searchButton = makeButton("Command1", texts::searchAgain(), frame);
    m_searchButton->setToolTip(QStringLiteral("按关键字在站点1重新搜索图片"));
    m_list = new QTreeView(frame);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setMinimumSize(ListWidth, ListHeight);
    m_preview = makePreview(frame);

    auto *keywordRow = new QHBoxLayout;
    keywordRow->addWidget(keywordLabel);
    keywordRow->addWidget(m_keyword, 1);
    keywordRow->addWidget(m_searchButton);
    auto *frameLayout = new QGridLayout(frame);
    frameLayout->addLayout(keywordRow, 0, 0);
    frameLayout->addWidget(m_list, 1, 0);
    frameLayout->addWidget(m_preview, 0, 1, 2, 1);

    m_okButton = makeButton("Command2", okCaption(), this);
    m_cancelButton = makeButton("Command3", cancelCaption(), this);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_okButton);
    buttonRow->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonRow);
}

void PageFetchSearchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_searchedOnOpening)
        return;
    m_searchedOnOpening = true;
    // After the dialog is on screen, so the search's messages appear over it.
    QTimer::singleShot(0, this, &PageFetchSearchDialog::search);
}

void PageFetchSearchDialog::search()
{
    cancelSearch();
    if (m_urlTemplate.isEmpty()) {
        Messages::error(texts::noSearchAddress());
        emit searchFinished();
        return;
    }
    // `GetHTML2`: asynchronous, so the dialog answers while it waits.
    m_fetch = m_http.get(QUrl(fetchSearchUrl(m_urlTemplate, m_keyword->text())), m_limits.page);
    connect(m_fetch, &HttpRequest::finished, this, &PageFetchSearchDialog::onPage);
}

void PageFetchSearchDialog::onPage(const HttpResult &result)
{
    m_fetch->deleteLater();
    m_fetch = nullptr;
    // A failed fetch keeps the previous search's rows.
    if (result.ok) {
        m_pageText = decodePage(result.body, result.contentType);
        m_picker->setRows(scanImageTags(m_pageText));
    }
    if (m_picker->rowCount() == 0)
        Messages::error(texts::nothingFound());
    emit searchFinished();
}

void PageFetchSearchDialog::cancelSearch()
{
    if (m_fetch) {
        m_fetch->cancel();
        m_fetch->deleteLater();
        m_fetch = nullptr;
    }
}

void PageFetchSearchDialog::takeCover()
{
    if (m_picker->takeAsCover(m_writeCover))
        accept();
}

void PageFetchSearchDialog::done(int result)
{
    cancelSearch();
    m_picker->cancelDownload();
    QDialog::done(result);
}

} // namespace tessaly::covers
