#include "covers/gui/BrowserSearchDialog.h"

#include "covers/CoverTexts.h"
#include "covers/StartPage.h"
#include "covers/gui/CandidatePicker.h"
#include "covers/gui/SearchDialogFixture.h"
#include "files/TextFile.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

using namespace tessaly;
using namespace tessaly::covers;
using namespace tessaly::testing;

namespace {

// A browser that records what it is asked and hands the markup requests to
// the test, which answers them when it likes. Local files load at once;
// the test ends the loads of web addresses.
class FakeBrowser : public QWidget, public EmbeddedBrowser
{
public:
    explicit FakeBrowser(QWidget *parent) : QWidget(parent) {}
    void loadFile(const QString &path) override
    {
        files.append(path);
        if (loadEnded && !holdFileLoads)
            loadEnded(QUrl::fromLocalFile(path), true);
    }
    void loadUrl(const QUrl &url) override { urls.append(url); }
    void setLoadEndedCallback(LoadEndedCallback callback) override { loadEnded = std::move(callback); }
    void setSilent(bool on) override { silent = on; }
    void setShown(bool shown) override { setVisible(shown); }
    void readBodyMarkup(qsizetype, MarkupCallback callback) override { pending.append(std::move(callback)); }

    QStringList files;
    QList<QUrl> urls;
    bool silent = false;
    QList<MarkupCallback> pending;
    LoadEndedCallback loadEnded;
    bool holdFileLoads = false;
};

class BrowserSearch : public SearchDialogFixture
{
protected:
    BrowserSearch()
    {
        const QString page =
            QStringLiteral("<html><head><meta charset=\"utf-8\"><title>results</title></head><body>"
                           "<ul><li><a title=\"One\" href=\"/v/1\" data-original=\"%1/img/1.png\">"
                           "</a></li><li><a title=\"Two\" href=\"/v/2\" "
                           "data-original=\"%1/img/2.png?a=1&amp;b=2\"></a></li></ul>"
                           "</body></html>")
                .arg(host());
        server.serveBody("/search.html", page.toUtf8(), "text/html; charset=utf-8");
        server.serveBody("/img/1.png", picture1, "image/png");
        server.serveBody("/img/2.png", picture2, "image/png");
    }

    QString searchTemplate() const { return server.url("/search.html?wd=[[Title]]&submit="); }

    // Opens the dialog with the real web engine and waits for its start page.
    void openWithWebEngine(QString urlTemplate = {})
    {
        dialog = std::make_unique<BrowserSearchDialog>(
            workspace.workspace(), QStringLiteral("封面"), coverWriter(QStringLiteral("封面")),
            urlTemplate.isNull() ? searchTemplate() : urlTemplate, &makeWebEngineBrowser, http, clipboard,
            desktop, limits);
        view = dialog->findChild<QWebEngineView *>("WebBrowser1");
        ASSERT_NE(view, nullptr);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        dialog->show();
        ASSERT_TRUE(loaded.wait(15000));
    }

    void openWithFake(const QString &urlTemplate)
    {
        dialog = std::make_unique<BrowserSearchDialog>(
            workspace.workspace(), QStringLiteral("封面"), coverWriter(QStringLiteral("封面")), urlTemplate,
            [this](QWidget *parent) {
                fake = new FakeBrowser(parent);
                return BrowserView{fake, fake};
            },
            http, clipboard, desktop, limits);
        dialog->show();
    }

    // Presses "搜索" and waits until the view shows the search site's page
    // and the dialog has seen its load end.
    void searchAndWait()
    {
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        button("Command1")->click();
        ASSERT_TRUE(waitUntil(
            [&] {
                return view->url().path() == QLatin1String("/search.html") && !loaded.isEmpty() &&
                       loaded.last().at(0).toBool() && button("Command1")->text() == texts::searchAgain();
            },
            15000));
    }

    void analyseAndWait()
    {
        QSignalSpy analysed(dialog.get(), &BrowserSearchDialog::analysisFinished);
        button("Command4")->click();
        ASSERT_TRUE(analysed.wait(10000));
    }

    void select(int row)
    {
        QSignalSpy shown(&dialog->picker(), &CandidatePicker::previewShown);
        QSignalSpy failed(&dialog->picker(), &CandidatePicker::previewFailed);
        selectRow(*list(), row);
        waitUntil([&] { return shown.size() + failed.size() >= 1; }, 3000);
    }

    QTreeView *list() const { return dialog->findChild<QTreeView *>("ListView1"); }
    QPushButton *button(const char *name) const { return dialog->findChild<QPushButton *>(name); }
    QLineEdit *keywordBox() const { return dialog->findChild<QLineEdit *>("Text3"); }
    QList<QPair<QString, QString>> rows() const
    {
        QList<QPair<QString, QString>> result;
        const QAbstractItemModel *model = list()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            result.append({model->index(i, 0).data().toString(), model->index(i, 1).data().toString()});
        return result;
    }
    QString startPage() const { return workspace.path("Temp/Search.html"); }

    const QByteArray picture1 = makePicture(30, 40, 0xffff0000);
    const QByteArray picture2 = makePicture(40, 30, 0xff00ff00);
    std::unique_ptr<BrowserSearchDialog> dialog;
    QWebEngineView *view = nullptr;
    FakeBrowser *fake = nullptr;
};

} // namespace

TEST_F(BrowserSearch, OpeningShowsTheStartPageWrittenInTheChineseCodePage)
{
    openWithWebEngine();
    EXPECT_EQ(workspace.readBytes("Temp/Search.html"), text::encode(startPageText(false)) + "\r\n");
    EXPECT_EQ(view->url(), QUrl::fromLocalFile(startPage()));
    EXPECT_EQ(view->title(), QStringLiteral("封面搜索"));
    EXPECT_EQ(button("Command4")->text(), texts::pressSearch());
    EXPECT_EQ(button("Command1")->text(), texts::search());
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(keywordBox()->text(), QStringLiteral("封面"));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(BrowserSearch, AnalysingTheStartPageFindsNothing)
{
    openWithWebEngine();
    analyseAndWait();
    EXPECT_EQ(messages.texts(), QStringList{texts::nothingFound()});
    EXPECT_TRUE(list()->isVisible());
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(button("Command4")->isVisible());
    EXPECT_EQ(button("Command1")->text(), texts::searchAgain());
}

TEST_F(BrowserSearch, SearchLoadsTheSiteAndAnalyseListsItsPicturesForTheCover)
{
    openWithWebEngine();
    searchAndWait();
    EXPECT_EQ(server.requests().first(), QStringLiteral("/search.html?wd=%E5%B0%81%E9%9D%A2&submit="));
    EXPECT_EQ(workspace.readBytes("Temp/Search.html"), text::encode(startPageText(true)) + "\r\n");
    // The page has loaded, so the search may be run again.
    EXPECT_EQ(button("Command1")->text(), texts::searchAgain());
    EXPECT_EQ(button("Command4")->text(), texts::analysePage());

    analyseAndWait();
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join("|").toStdString();
    const QList<QPair<QString, QString>> expected = {{"One ", host() + "/img/1.png"},
                                                     {"Two ", host() + "/img/2.png?a=1&b=2"}};
    EXPECT_EQ(rows(), expected);

    select(1);
    EXPECT_EQ(workspace.readBytes("Temp/Two .jpg"), picture2);
    button("Command2")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(workspace.readBytes("Web/Image/封面.jpg"), picture2);
}

TEST_F(BrowserSearch, CopyingALinkPutsExactlyTheLinkOnTheClipboard)
{
    openWithWebEngine();
    searchAndWait();
    analyseAndWait();
    selectRow(*list(), 0);
    messages.clear();
    dialog->findChild<QAction *>("M1")->trigger();
    EXPECT_EQ(clipboard.texts(), QStringList{host() + "/img/1.png"});
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last().text, QStringLiteral("复制链接成功!\r\nOne \r\n") + host() + "/img/1.png");
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
}

TEST_F(BrowserSearch, PageScriptsCannotFakeTheMarkupNorRaiseDialogs)
{
    server.serveBody(
        "/search.html",
        QStringLiteral("<html><head><title>t</title><script>"
                       "Object.defineProperty(Element.prototype, 'outerHTML', {get: function () {"
                       "  return '<a title=\"Fake\" href=\"/f\" data-original=\"http://fake/f.png\">'; }});"
                       "alert('hello');"
                       "document.title = String(confirm('sure?')) + String(prompt('name?')) +"
                       "  String(window.open('about:blank'));"
                       "</script></head><body>"
                       "<a title=\"Real\" href=\"/r\" data-original=\"%1/img/1.png\"></a>"
                       "</body></html>")
            .arg(host())
            .toUtf8(),
        "text/html");
    openWithWebEngine();
    searchAndWait();
    // The pop-up is never made, whatever the script is handed back.
    EXPECT_TRUE(view->title().startsWith(QStringLiteral("falsenull"))) << view->title().toStdString();
    QString pageWorldMarkup;
    view->page()->runJavaScript(QStringLiteral("document.body.outerHTML"), QWebEngineScript::MainWorld,
                                [&](const QVariant &value) { pageWorldMarkup = value.toString(); });
    ASSERT_TRUE(waitUntil([&] { return !pageWorldMarkup.isEmpty(); }));
    ASSERT_TRUE(pageWorldMarkup.contains(QStringLiteral("Fake"))); // the page's own scripts are fooled
    analyseAndWait();
    EXPECT_EQ(rows(), (QList<QPair<QString, QString>>{{"Real ", host() + "/img/1.png"}}));
}

TEST_F(BrowserSearch, EscClosesTheDialogWhileTheWebViewHasTheFocus)
{
    openWithWebEngine();
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(BrowserSearch, TheKeywordIsEncodedAsUtf8AfterItsUrlCharacters)
{
    openWithFake(server.url("/search.html?wd=[[Title]]&submit="));
    keywordBox()->setText(QStringLiteral("A&B 封面#"));
    button("Command1")->click();
    ASSERT_EQ(fake->urls.size(), 1);
    EXPECT_EQ(fake->urls[0].toEncoded(),
              server.url("/search.html?wd=A%26B%20%E5%B0%81%E9%9D%A2%23&submit=").toUtf8());
    EXPECT_TRUE(fake->silent);
    EXPECT_EQ(fake->files, (QStringList{startPage(), startPage()}));
}

TEST_F(BrowserSearch, MarkupForAnOlderSearchOrAClosedDialogIsDropped)
{
    openWithFake(searchTemplate());
    const QString markup = QStringLiteral("<a title=\"One\" href=\"/1\" data-original=\"http://h/1.png\">");
    button("Command4")->click();
    button("Command1")->click();
    fake->pending.takeFirst()(markup);
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_TRUE(messages.isEmpty());

    button("Command4")->click();
    button("Command4")->click();
    fake->pending.takeFirst()(markup);
    EXPECT_EQ(list()->model()->rowCount(), 0);
    fake->pending.takeFirst()(markup);
    EXPECT_EQ(list()->model()->rowCount(), 1);

    button("Command4")->click();
    EXPECT_EQ(list()->model()->rowCount(), 0);
    dialog->reject();
    fake->pending.takeFirst()(markup);
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(BrowserSearch, AViewWithoutABodyFindsNothing)
{
    openWithFake(searchTemplate());
    button("Command4")->click();
    fake->pending.takeFirst()(std::nullopt);
    EXPECT_EQ(messages.texts(), QStringList{texts::nothingFound()});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(BrowserSearch, AnEmptyTemplateAsksForTheSearchAddress)
{
    openWithFake(QString(""));
    button("Command1")->click();
    EXPECT_EQ(messages.texts(), QStringList{texts::noSearchAddress()});
    EXPECT_TRUE(fake->urls.isEmpty());
    EXPECT_EQ(button("Command1")->text(), texts::search());
}

TEST_F(BrowserSearch, AStartPageThatCannotBeWrittenIsReportedAndNothingLoads)
{
    QDir(workspace.workspace().temp()).removeRecursively();
    workspace.writeBytes("Temp", "a file where the folder should be");
    openWithFake(searchTemplate());
    button("Command1")->click();
    EXPECT_TRUE(fake->files.isEmpty());
    EXPECT_TRUE(fake->urls.isEmpty());
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().text.startsWith(startPage() + "\r\n"));
    EXPECT_TRUE(desktop.urls().isEmpty());
}

TEST_F(BrowserSearch, EnterSearchesOnlyWithAKeywordAndNoButtonIsDefault)
{
    openWithFake(searchTemplate());
    keywordBox()->clear();
    QTest::keyClick(keywordBox(), Qt::Key_Return);
    EXPECT_TRUE(fake->urls.isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    button("Command1")->click();
    EXPECT_EQ(fake->urls.value(0).query(), QStringLiteral("wd=&submit="));
    keywordBox()->setText(QStringLiteral("x"));
    QTest::keyClick(keywordBox(), Qt::Key_Return);
    EXPECT_EQ(fake->urls.size(), 2);
    for (QPushButton *each : dialog->findChildren<QPushButton *>())
        EXPECT_FALSE(each->autoDefault() || each->isDefault()) << each->objectName().toStdString();
}

TEST_F(BrowserSearch, TheLinkMenuNeedsARowUnderTheMouseOrASelectedRow)
{
    openWithFake(searchTemplate());
    auto *menu = dialog->findChild<QMenu *>("MM");
    ASSERT_NE(menu, nullptr);
    button("Command4")->click();
    fake->pending.takeFirst()(
        QStringLiteral("<a title=\"One\" href=\"/1\" data-original=\"http://h/1.png\">"));
    requestContextMenu(*list());
    EXPECT_FALSE(menu->isVisible()) << "below the rows, with none selected";
    requestContextMenu(*list(), 0);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(list()->selectionModel()->isSelected(list()->model()->index(0, 0)));
    menu->hide();
    EXPECT_TRUE(messages.isEmpty()) << "a right click does not try to preview the row";
}

TEST_F(BrowserSearch, TheWaitingPageIsUpBeforeTheSiteLoadsAndTheCaptionComesBackAfterIt)
{
    openWithFake(searchTemplate());
    fake->holdFileLoads = true;
    button("Command1")->click();
    EXPECT_EQ(fake->files.last(), startPage());
    EXPECT_TRUE(fake->urls.isEmpty()) << "the site would cancel the waiting page";
    EXPECT_EQ(button("Command1")->text(), texts::loading());

    fake->loadEnded(QUrl::fromLocalFile(startPage()), true);
    ASSERT_EQ(fake->urls.size(), 1);
    fake->loadEnded(QUrl::fromLocalFile(startPage()), true);
    EXPECT_EQ(button("Command1")->text(), texts::loading()) << "a late end of the waiting page";

    fake->loadEnded(fake->urls.last(), false);
    EXPECT_EQ(button("Command1")->text(), texts::searchAgain());
    EXPECT_EQ(fake->urls.size(), 1);
}
