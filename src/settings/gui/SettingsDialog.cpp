#include "settings/gui/SettingsDialog.h"

#include "files/FileServices.h"
#include "platform/FileChooser.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"
#include "settings/EditedSettings.h"
#include "settings/FolderBrowsing.h"
#include "settings/MovieLink.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace tessaly {
namespace {

QLineEdit *makeBox(const QString &objectName, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(objectName);
    return box;
}

} // namespace

SettingsDialog::SettingsDialog(const Workspace &workspace, Save save, FileChooser &folders, QWidget *parent)
    : QDialog(parent), m_save(std::move(save)), m_folderChooser(folders)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("设置"));
    setModal(true);
    resize(560, 0);

    auto *movieFrame = new QGroupBox(QStringLiteral("影片文件路径"), this);
    m_movieFile = makeBox(QStringLiteral("Text1"), movieFrame);
    QPushButton *browseMovieFile = makeButton("Command5", QStringLiteral("浏览..."), movieFrame);
    browseMovieFile->setToolTip(QStringLiteral("选择影片文件所在的文件夹"));
    QPushButton *testMovieFile = makeButton("Command1", QStringLiteral("测试"), movieFrame);
    testMovieFile->setToolTip(QStringLiteral("检查影片文件路径是否存在"));
    m_naturalOrder = new QCheckBox(QStringLiteral("剧集按自然顺序排列"), movieFrame);
    m_naturalOrder->setObjectName(QStringLiteral("Check2"));
    m_naturalOrder->setToolTip(QStringLiteral("第2集排在第10集之前;不选时按文件名的字符顺序"));
    m_checkVideos = new QCheckBox(QStringLiteral("生成时检查视频能否在浏览器中播放"), movieFrame);
    m_checkVideos->setObjectName(QStringLiteral("Check3"));
    m_checkVideos->setToolTip(QStringLiteral("在进度中注明浏览器可能无法播放的剧集,并在剧集列表中标出"));
    auto *movieGrid = new QGridLayout(movieFrame);
    movieGrid->addWidget(new QLabel(QStringLiteral("影片文件路径："), movieFrame), 0, 0);
    movieGrid->addWidget(m_movieFile, 0, 1);
    movieGrid->addWidget(browseMovieFile, 0, 2);
    movieGrid->addWidget(testMovieFile, 0, 3);
    movieGrid->addWidget(m_naturalOrder, 1, 0, 1, 4);
    movieGrid->addWidget(m_checkVideos, 2, 0, 1, 4);

    auto *updateFrame = new QGroupBox(QStringLiteral("服务器更新"), this);
    m_webUpdate = new QCheckBox(QStringLiteral("生成内容后自动更新到站点"), updateFrame);
    m_webUpdate->setObjectName(QStringLiteral("Check1"));
    m_webUpdate->setToolTip(QStringLiteral("每次生成后把网站复制到下面的站点路径"));
    m_webFile = makeBox(QStringLiteral("Text2"), updateFrame);
    QPushButton *browseWebFile = makeButton("Command6", QStringLiteral("浏览..."), updateFrame);
    browseWebFile->setToolTip(QStringLiteral("选择网站服务器发布的站点文件夹"));
    QPushButton *testWebFile = makeButton("Command4", QStringLiteral("测试"), updateFrame);
    testWebFile->setToolTip(QStringLiteral("检查站点路径是否存在"));
    auto *updateGrid = new QGridLayout(updateFrame);
    updateGrid->addWidget(m_webUpdate, 0, 0, 1, 4);
    updateGrid->addWidget(new QLabel(QStringLiteral("站点路径："), updateFrame), 1, 0);
    updateGrid->addWidget(m_webFile, 1, 1);
    updateGrid->addWidget(browseWebFile, 1, 2);
    updateGrid->addWidget(testWebFile, 1, 3);

    auto *siteFrame = new QGroupBox(QStringLiteral("影片站点"), this);
    m_webLink = makeBox(QStringLiteral("Text4"), siteFrame);
    m_testWebLink = makeButton("Command7", QStringLiteral("测试"), siteFrame);
    m_testWebLink->setToolTip(QStringLiteral("检查网页服务器能否提供第一集视频和它的封面"));
    m_testWebLink->hide();
    m_makeMovieLink = makeButton("Command8", QStringLiteral("创建 movie 链接"), siteFrame);
    m_makeMovieLink->setToolTip(QStringLiteral("在站点文件夹中创建指向影片文件路径的 movie 链接"));
    auto *siteGrid = new QGridLayout(siteFrame);
    siteGrid->addWidget(new QLabel(QStringLiteral("站点链接："), siteFrame), 0, 0);
    siteGrid->addWidget(m_webLink, 0, 1);
    siteGrid->addWidget(m_testWebLink, 0, 2);
    siteGrid->addWidget(m_makeMovieLink, 1, 1, 1, 2, Qt::AlignRight);

    auto *searchFrame = new QGroupBox(QStringLiteral("封面搜索"), this);
    m_coverSearch1 = makeBox(QStringLiteral("Text5"), searchFrame);
    m_coverSearch1->setPlaceholderText(QStringLiteral("https://HOST/search_[[Title]]/"));
    m_coverSearch2 = makeBox(QStringLiteral("Text6"), searchFrame);
    m_coverSearch2->setPlaceholderText(QStringLiteral("http://HOST/search.html?wd=[[Title]]&submit="));
    auto *searchGrid = new QGridLayout(searchFrame);
    searchGrid->addWidget(new QLabel(QStringLiteral("站点1："), searchFrame), 0, 0);
    searchGrid->addWidget(m_coverSearch1, 0, 1);
    searchGrid->addWidget(new QLabel(QStringLiteral("站点2："), searchFrame), 1, 0);
    searchGrid->addWidget(m_coverSearch2, 1, 1);

    QPushButton *ok = makeButton("Command2", okCaption(), this);
    QPushButton *cancel = makeButton("Command3", cancelCaption(), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(movieFrame);
    layout->addWidget(updateFrame);
    layout->addWidget(siteFrame);
    layout->addWidget(searchFrame);
    layout->addLayout(buttons);

    const EditedSettings stored = EditedSettings::read(workspace);
    m_movieFile->setText(stored.movieFile);
    m_webFile->setText(stored.webFile);
    m_webUpdate->setChecked(stored.webUpdate);
    m_naturalOrder->setChecked(stored.naturalOrder);
    m_checkVideos->setChecked(stored.checkVideos);
    m_webLink->setText(stored.webLink);
    m_coverSearch1->setText(stored.coverSearch1);
    m_coverSearch2->setText(stored.coverSearch2);
    // Blank boxes would look like settings never made.
    if (const std::optional<files::Failure> failure = EditedSettings::readFailure(workspace)) {
        m_unreadable = true;
        Messages::error(failure->text());
    }

    connect(testMovieFile, &QPushButton::clicked, this,
            [this] { showFolderTest(m_movieFile->text(), settings::movieFolderEmptyText()); });
    connect(testWebFile, &QPushButton::clicked, this,
            [this] { showFolderTest(m_webFile->text(), settings::siteFolderEmptyText()); });
    connect(browseMovieFile, &QPushButton::clicked, this, [this] { browseInto(m_movieFile); });
    connect(browseWebFile, &QPushButton::clicked, this, [this] { browseInto(m_webFile); });
    connect(m_testWebLink, &QPushButton::clicked, this, &SettingsDialog::startServerTest);
    connect(m_makeMovieLink, &QPushButton::clicked, this, &SettingsDialog::createMovieLink);
    for (QLineEdit *box : {m_movieFile, m_webFile, m_webLink}) {
        connect(box, &QLineEdit::textChanged, this, [this] {
            m_serverMissed = false;
            offerMovieLink();
        });
    }
    offerMovieLink();
    connect(ok, &QPushButton::clicked, this, &SettingsDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SettingsDialog::~SettingsDialog()
{
    // The worker writes into this dialog: it ends first, unheard.
    if (m_testThread) {
        m_testThread->disconnect(this);
        m_testThread->wait();
    }
}

void SettingsDialog::setServerTest(ServerTest test, Served served)
{
    m_serverTest = std::move(test);
    m_served = std::move(served);
    m_testWebLink->setVisible(bool(m_serverTest));
}

void SettingsDialog::waitForServerTest()
{
    if (m_testThread)
        m_testThread->wait();
    QCoreApplication::sendPostedEvents(this);
}

void SettingsDialog::startServerTest()
{
    if (m_testThread)
        return;
    if (m_webLink->text().isEmpty()) {
        Messages::error(QStringLiteral("请填写站点链接!"));
        return;
    }
    // The check waits for the server up to a few seconds: on a worker
    // thread, with the values as they are now.
    m_testWebLink->setEnabled(false);
    const EditedSettings values = edited();
    m_testThread.reset(QThread::create([this, values] { m_testResult = m_serverTest(values); }));
    connect(m_testThread.get(), &QThread::finished, this, [this] {
        m_testThread->wait();
        m_testThread.reset();
        m_testWebLink->setEnabled(true);
        showServerTestResult(m_testResult);
        emit serverTestFinished();
    });
    m_testThread->start();
}

void SettingsDialog::showServerTestResult(const QString &result)
{
    const bool served = m_served(result);
    m_serverMissed = !served;
    offerMovieLink();
    QString text = result;
    const settings::MovieLink movie = settings::movieLinkIn(m_webFile->text(), m_movieFile->text());
    if (movie.state == settings::MovieLink::State::Elsewhere)
        text += QStringLiteral("\r\n") + settings::movieElsewhereText(movie.leadsTo);
    if (served)
        Messages::information(text);
    else
        Messages::error(text);
}

void SettingsDialog::showFolderTest(const QString &path, const QString &emptyText)
{
    const settings::FolderTest test = settings::testFolder(path, emptyText);
    if (test.found)
        Messages::information(test.text);
    else
        Messages::error(test.text);
}

void SettingsDialog::createMovieLink()
{
    const files::Outcome<bool> made = settings::makeMovieLink(m_webFile->text(), m_movieFile->text());
    if (!made)
        Messages::error(made.failure().text());
    else if (*made)
        Messages::information(settings::movieLinkMadeText());
    offerMovieLink();
}

void SettingsDialog::offerMovieLink()
{
    const QString site = m_webFile->text();
    const bool offered =
        (m_serverMissed || m_webLink->text().isEmpty()) && !site.isEmpty() && files::folderExists(site) &&
        settings::movieLinkIn(site, m_movieFile->text()).state == settings::MovieLink::State::Missing;
    m_makeMovieLink->setVisible(offered);
}

void SettingsDialog::browseInto(QLineEdit *box)
{
    const QString folder = m_folderChooser.chooseFolder(settings::browseStartFolder(box->text()));
    if (!folder.isEmpty())
        box->setText(folder);
}

EditedSettings SettingsDialog::edited() const
{
    EditedSettings values;
    values.movieFile = m_movieFile->text();
    values.webFile = m_webFile->text();
    values.webUpdate = m_webUpdate->isChecked();
    values.naturalOrder = m_naturalOrder->isChecked();
    values.checkVideos = m_checkVideos->isChecked();
    values.webLink = m_webLink->text();
    values.coverSearch1 = m_coverSearch1->text();
    values.coverSearch2 = m_coverSearch2->text();
    return values;
}

void SettingsDialog::confirm()
{
    EditedSettings values = edited();
    if (m_unreadable) {
        if (Messages::question(settings::replaceUnreadableQuestion()) != MessageAnswer::Yes)
            return;
        values.replaceUnreadableFile = true;
    }
    if (m_save(values))
        accept();
}

} // namespace tessaly
