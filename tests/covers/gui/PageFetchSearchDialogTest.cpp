#include "covers/gui/PageFetchSearchDialog.h"

#include "covers/CandidateFile.h"
#include "covers/CoverTexts.h"
#include "covers/gui/CandidatePicker.h"
#include "covers/gui/SearchDialogFixture.h"
#include "support/WidgetDriving.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QTreeView>
#include <QWindow>
#include <memory>

using namespace tessaly;
using namespace tessaly::covers;
using namespace tessaly::testing;

namespace {

class PageFetchSearch : public SearchDialogFixture
{
protected:
    PageFetchSearch()
    {
        server.serveBody("/search_%E5%B0%81%E9%9D%A2/",
                         imageTagPage({{"One", "/img/1.png"}, {"Two", "/img/2.png"}}, host()), "text/html");
        server.serveBody("/img/1.png", picture1, "image/png");
        server.serveBody("/img/2.png", picture2, "image/png");
    }

    // Opens the dialog for the project as the main window does, and waits
    // for the first search.
    void open(const QString &project = QStringLiteral("封面"), QString urlTemplate = {})
    {
        if (urlTemplate.isNull())
            urlTemplate = server.url("/search_[[Title]]/");
        dialog = std::make_unique<PageFetchSearchDialog>(workspace.workspace(), project, coverWriter(project),
                                                         urlTemplate, http, clipboard, desktop, limits);
        modelTester = std::make_unique<QAbstractItemModelTester>(
            list()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy finished(dialog.get(), &PageFetchSearchDialog::searchFinished);
        dialog->show();
        ASSERT_TRUE(finished.wait(3000));
    }

    void searchFor(const QString &keyword)
    {
        keywordBox()->setText(keyword);
        QSignalSpy finished(dialog.get(), &PageFetchSearchDialog::searchFinished);
        button("Command1")->click();
        ASSERT_TRUE(finished.wait(3000));
    }

    // Selects the row and waits until its preview is shown or has failed.
    void select(int row, bool doubleClick = false)
    {
        QSignalSpy shown(&dialog->picker(), &CandidatePicker::previewShown);
        QSignalSpy failed(&dialog->picker(), &CandidatePicker::previewFailed);
        const QModelIndex item = list()->model()->index(row, 0);
        const int previews = (list()->currentIndex() != item ? 1 : 0) + (doubleClick ? 1 : 0);
        list()->setCurrentIndex(item);
        if (doubleClick)
            emit list()->doubleClicked(item);
        waitUntil([&] { return shown.size() + failed.size() >= previews; }, 3000);
    }

    QTreeView *list() const { return dialog->findChild<QTreeView *>("ListView1"); }
    QString cell(int row, int column) const { return list()->model()->index(row, column).data().toString(); }
    QLabel *preview() const { return dialog->findChild<QLabel *>("Picture1"); }
    QLineEdit *keywordBox() const { return dialog->findChild<QLineEdit *>("Text3"); }
    QPushButton *button(const char *name) const { return dialog->findChild<QPushButton *>(name); }
    QStringList titles() const
    {
        QStringList result;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            result.append(cell(i, 0));
        return result;
    }
    bool previewShows() const { return !preview()->pixmap().isNull(); }

    const QByteArray picture1 = makePicture(30, 40, 0xffff0000);
    const QByteArray picture2 = makePicture(40, 30, 0xff00ff00);
    std::unique_ptr<PageFetchSearchDialog> dialog;
    std::unique_ptr<QAbstractItemModelTester> modelTester;
};

} // namespace

TEST_F(PageFetchSearch, OpeningSearchesForTheProjectNameOnceTheDialogIsShown)
{
    dialog = std::make_unique<PageFetchSearchDialog>(
        workspace.workspace(), QStringLiteral("封面"), coverWriter(QStringLiteral("封面")),
        server.url("/search_[[Title]]/"), http, clipboard, desktop, limits);
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_TRUE(http.links().isEmpty());
    QSignalSpy finished(dialog.get(), &PageFetchSearchDialog::searchFinished);
    dialog->show();
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_EQ(server.requests(), QStringList{"/search_%E5%B0%81%E9%9D%A2/"});
    EXPECT_EQ(keywordBox()->text(), QStringLiteral("封面"));
    EXPECT_EQ(titles(), (QStringList{"One", "Two"}));
    EXPECT_EQ(cell(1, 1), host() + "/img/2.png");
    EXPECT_TRUE(list()->isColumnHidden(1));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("查找封面"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PageFetchSearch, KeywordsAreEncodedSoTheyCannotReshapeTheUrl)
{
    open();
    searchFor(QStringLiteral("A B#&?"));
    searchFor(QString());
    EXPECT_EQ(server.requests().mid(1), (QStringList{"/search_A%20B%23%26%3F/", "/search_/"}));
}

TEST_F(PageFetchSearch, ClickingARowPreviewsItAndOkMakesItTheCover)
{
    workspace.writeBytes("Web/Image/封面.jpg", "old cover");
    open();
    select(1);
    EXPECT_TRUE(previewShows());
    EXPECT_EQ(workspace.readBytes("Temp/Two.jpg"), picture2);
    EXPECT_EQ(tempEntries(), QStringList{"Two.jpg"});

    button("Command2")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(workspace.readBytes("Web/Image/封面.jpg"), picture2);
    EXPECT_EQ(QDir(workspace.path("Web/Image")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"封面.jpg"});
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(PageFetchSearch, ARowIsDownloadedOnceUntilItIsDoubleClicked)
{
    open();
    select(0);
    select(1);
    select(0);
    EXPECT_EQ(server.requestCount("/img/1.png"), 1);
    select(0, true);
    EXPECT_EQ(server.requestCount("/img/1.png"), 2);
    EXPECT_TRUE(previewShows());
}

TEST_F(PageFetchSearch, ThePreviewFollowsTheKeyboard)
{
    open();
    select(0);
    QSignalSpy shown(&dialog->picker(), &CandidatePicker::previewShown);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    ASSERT_TRUE(shown.wait(3000));
    EXPECT_EQ(shown.last().at(0).toString(), tempFile("Two.jpg"));
    EXPECT_EQ(list()->currentIndex().data().toString(), QStringLiteral("Two"));
}

TEST_F(PageFetchSearch, PicturesThatCannotBeLoadedAreReportedAndOpenedInTheBrowser)
{
    LoopbackResponse silent;
    silent.neverAnswer = true;
    server.serve("/img/silent.png", silent);
    limits.image.totalMilliseconds = 400;
    server.serveBody("/img/page.png", "<html>not a picture</html>", "text/html");
    server.serveRedirect("/img/to-file.png", "file:///etc/passwd");
    server.serveBody("/search_bad/",
                     imageTagPage({{"Missing", "/img/missing.png"},
                                   {"Html", "/img/page.png"},
                                   {"ToFile", "/img/to-file.png"},
                                   {"Silent", "/img/silent.png"}},
                                  host()),
                     "text/html");
    open();
    searchFor(QStringLiteral("bad"));
    for (int row = 0; row < 4; ++row) {
        messages.clear();
        select(row);
        const QString link = cell(row, 1);
        EXPECT_EQ(messages.texts(), QStringList{texts::loadingError() + link}) << row;
        EXPECT_EQ(messages.last().icon, MessageIcon::Error);
        EXPECT_EQ(desktop.urls().size(), row + 1);
        EXPECT_EQ(desktop.urls().value(row), link);
        EXPECT_FALSE(previewShows());
    }
    EXPECT_TRUE(tempEntries().isEmpty()) << tempEntries().join("|").toStdString();
}

TEST_F(PageFetchSearch, LinksThatAreNotWebLinksAreNeverFetchedOrOpened)
{
    server.serveBody("/search_links/",
                     "<img src=s data-src=\"javascript:alert(1)\" width=1 title=\"Script\" />"
                     "<img src=s data-src=\"file:///etc/passwd\" width=1 title=\"File\" />",
                     "text/html");
    open();
    searchFor(QStringLiteral("links"));
    const int before = int(http.links().size());
    select(0);
    select(1);
    EXPECT_EQ(messages.texts(), (QStringList{texts::loadingError() + "javascript:alert(1)",
                                             texts::loadingError() + "file:///etc/passwd"}));
    EXPECT_TRUE(desktop.urls().isEmpty());
    EXPECT_EQ(server.requests().size(), before);
}

TEST_F(PageFetchSearch, OkExplainsWhyItCannotTakeACover)
{
    workspace.writeBytes("Web/Image/封面.jpg", "old cover");
    LoopbackResponse slow;
    slow.body = picture1;
    slow.contentType = "image/png";
    slow.delayMilliseconds = 800;
    server.serve("/img/1.png", slow);
    server.serveBody("/search_none/", "<html></html>", "text/html");
    open();

    button("Command2")->click();
    EXPECT_EQ(messages.last().text, texts::nothingSelected());

    selectRow(*list(), 0); // download still on its way
    button("Command2")->click();
    EXPECT_EQ(messages.last().text, texts::notDownloaded());
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);

    searchFor(QStringLiteral("none"));
    button("Command2")->click();
    EXPECT_EQ(messages.last().text, texts::listEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(workspace.readBytes("Web/Image/封面.jpg"), QByteArray("old cover"));
}

TEST_F(PageFetchSearch, AFailedFetchKeepsTheRowsAnEmptyPageClearsThem)
{
    LoopbackResponse broken;
    broken.status = 500;
    server.serve("/search_broken/", broken);
    server.serveBody("/search_unrelated/", "<html><body>nothing here</body></html>", "text/html");
    open();
    searchFor(QStringLiteral("broken"));
    EXPECT_EQ(titles(), (QStringList{"One", "Two"}));
    EXPECT_TRUE(messages.isEmpty());
    searchFor(QStringLiteral("unrelated"));
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{texts::nothingFound()});
}

TEST_F(PageFetchSearch, AnEmptyTemplateAsksForTheSearchAddress)
{
    open(QStringLiteral("封面"), QString(""));
    EXPECT_EQ(messages.texts(), QStringList{texts::noSearchAddress()});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PageFetchSearch, EnterSearchesOnlyWithAKeyword)
{
    open();
    keywordBox()->clear();
    QTest::keyClick(keywordBox(), Qt::Key_Return);
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_EQ(http.links().size(), 1);
    keywordBox()->setText(QStringLiteral("封面"));
    QSignalSpy finished(dialog.get(), &PageFetchSearchDialog::searchFinished);
    QTest::keyClick(keywordBox(), Qt::Key_Return);
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(dialog->isVisible());
    for (QPushButton *each : dialog->findChildren<QPushButton *>())
        EXPECT_FALSE(each->autoDefault() || each->isDefault()) << each->objectName().toStdString();
}

TEST_F(PageFetchSearch, ANewSearchAbandonsTheOneInFlight)
{
    LoopbackResponse slow;
    slow.body = imageTagPage({{"Slow", "/img/1.png"}}, host());
    slow.delayMilliseconds = 600;
    server.serve("/search_slow/", slow);
    server.serveBody("/search_fast/", imageTagPage({{"Fast", "/img/2.png"}}, host()), "text/html");
    open();
    keywordBox()->setText(QStringLiteral("slow"));
    button("Command1")->click();
    searchFor(QStringLiteral("fast"));
    waitForAnswersTo({"/search_slow/"});
    EXPECT_EQ(titles(), QStringList{"Fast"});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PageFetchSearch, TheLatestClickOwnsThePreview)
{
    LoopbackResponse slow;
    slow.body = picture1;
    slow.contentType = "image/png";
    slow.delayMilliseconds = 500;
    server.serve("/img/1.png", slow);
    open();
    selectRow(*list(), 0);
    select(1);
    waitForAnswersTo({"/img/1.png"});
    EXPECT_TRUE(previewShows());
    EXPECT_EQ(tempEntries(), QStringList{"Two.jpg"});
    button("Command2")->click();
    EXPECT_EQ(workspace.readBytes("Web/Image/封面.jpg"), picture2);
}

TEST_F(PageFetchSearch, ClosingAbandonsWhatIsInFlight)
{
    LoopbackResponse slow;
    slow.body = imageTagPage({}, host());
    slow.delayMilliseconds = 400;
    server.serve("/search_slow/", slow);
    LoopbackResponse slowPicture = slow;
    slowPicture.body = picture1;
    server.serve("/img/1.png", slowPicture);
    open();
    selectRow(*list(), 0);
    keywordBox()->setText(QStringLiteral("slow"));
    button("Command1")->click();
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    waitForAnswersTo({"/search_slow/", "/img/1.png"});
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_TRUE(tempEntries().isEmpty());
}

TEST_F(PageFetchSearch, ATempFolderThatCannotBeMadeIsNotBlamedOnTheLink)
{
    open();
    QDir(workspace.workspace().temp()).removeRecursively();
    workspace.writeBytes("Temp", "a file where the folder should be");
    select(0);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(workspace.workspace().temp() + "\r\n"));
    EXPECT_GT(messages.last().text.size(), workspace.workspace().temp().size() + 2);
    EXPECT_TRUE(desktop.urls().isEmpty());
}

TEST_F(PageFetchSearch, AMissingTempFolderIsMadeAgain)
{
    open();
    QDir(workspace.workspace().temp()).removeRecursively();
    select(0);
    EXPECT_TRUE(previewShows());
    EXPECT_EQ(workspace.readBytes("Temp/One.jpg"), picture1);
}

TEST_F(PageFetchSearch, AFailedCoverWriteIsReportedAndTheDialogStays)
{
    workspace.makeFolder("Web/Image/封面.jpg/in-the-way");
    open();
    select(0);
    button("Command2")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(workspace.workspace().coverFile("封面") + "\r\n"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(QDir(workspace.path("Web/Image/封面.jpg/in-the-way")).exists());
}

TEST_F(PageFetchSearch, TitlesMadeOfPathPiecesStayInTemp)
{
    server.serveBody("/search_paths/", imageTagPage({{"../../Web/Image/x", "/img/1.png"}}, host()),
                     "text/html");
    open();
    searchFor(QStringLiteral("paths"));
    select(0);
    EXPECT_TRUE(previewShows());
    EXPECT_EQ(tempEntries(), QStringList{candidateFileName("../../Web/Image/x")});
    EXPECT_FALSE(workspace.exists("Web/Image/x.jpg"));
}

TEST_F(PageFetchSearch, AChineseCharsetPageIsReadAsGb18030)
{
    QStringEncoder gbk("GB18030");
    server.serveBody("/search_gbk/",
                     gbk.encode(QString::fromUtf8(imageTagPage({{"封面一", "/img/1.png"}}, host()))),
                     "text/html; charset=gb2312");
    open();
    searchFor(QStringLiteral("gbk"));
    EXPECT_EQ(titles(), QStringList{"封面一"});
}

TEST_F(PageFetchSearch, ARightClickSelectsWithoutPreviewAndOffersTheLink)
{
    open();
    select(0);
    const int before = int(server.requests().size());
    // Through the window system, as a mouse would: press and release.
    const QPoint at = list()->viewport()->mapTo(dialog.get(), rowRect(*list(), 1).center());
    QTest::mousePress(dialog->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(dialog->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    auto *menu = dialog->findChild<QMenu *>("MM");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(list()->selectionModel()->selectedRows(), QModelIndexList{list()->model()->index(1, 0)});
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_EQ(http.links().size(), before) << "nothing downloaded";
    EXPECT_FALSE(previewShows()) << "the first row's picture no longer stands for the selection";
    menu->findChild<QAction *>("M1")->trigger();
    menu->hide();
    EXPECT_EQ(clipboard.texts(), QStringList{host() + "/img/2.png"});
    EXPECT_EQ(messages.texts(), QStringList{texts::linkCopied() + "\r\nTwo\r\n" + host() + "/img/2.png"});

    // A left click on the row now previews it.
    QSignalSpy shown(&dialog->picker(), &CandidatePicker::previewShown);
    clickRow(*list(), 1);
    ASSERT_TRUE(shown.wait(3000));
    EXPECT_EQ(workspace.readBytes("Temp/Two.jpg"), picture2);
}

TEST_F(PageFetchSearch, ClickingARowWhoseDownloadFailedTriesAgain)
{
    LoopbackResponse missing;
    missing.status = 404;
    server.serve("/img/1.png", missing);
    open();
    QSignalSpy failed(&dialog->picker(), &CandidatePicker::previewFailed);
    clickRow(*list(), 0);
    ASSERT_TRUE(waitUntil([&] { return failed.size() == 1; }, 3000));
    server.serveBody("/img/1.png", picture1, "image/png");
    QSignalSpy shown(&dialog->picker(), &CandidatePicker::previewShown);
    clickRow(*list(), 0);
    ASSERT_TRUE(shown.wait(3000));
    EXPECT_EQ(server.requestCount("/img/1.png"), 2);
    clickRow(*list(), 0);
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_EQ(http.count(server.url("/img/1.png")), 2) << "a row that is shown is not fetched again";
}

TEST_F(PageFetchSearch, FocusByTabPreviewsNothing)
{
    open();
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list(), &tabbedIn);
    ASSERT_TRUE(list()->currentIndex().isValid()) << "Tab makes a row current";
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_EQ(http.links().size(), 1) << "the search alone";
    EXPECT_TRUE(tempEntries().isEmpty());
    EXPECT_FALSE(previewShows());
}
