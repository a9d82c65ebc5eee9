#include "site/gui/StyleDialog.h"

#include "platform/ColourChooser.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Keeps the pages it is given to show.
class PageRecorder : public QWidget, public EmbeddedBrowser
{
public:
    explicit PageRecorder(QWidget *parent) : QWidget(parent) {}
    void loadFile(const QString &) override {}
    void loadUrl(const QUrl &) override {}
    void setSilent(bool) override {}
    void setShown(bool shown) override { setVisible(shown); }
    void readBodyMarkup(qsizetype, MarkupCallback callback) override { callback(std::nullopt); }
    void showHtml(const QString &html) override { pages.append(html); }

    QStringList pages;
};

class PresetColour : public ColourChooser
{
public:
    std::optional<unsigned> chooseColour(unsigned initial) override
    {
        asked.append(initial);
        return answer;
    }
    std::optional<unsigned> answer;
    QList<unsigned> asked;
};

class StyleDialogTest : public ::testing::Test
{
protected:
    StyleDialogTest() { space.withFolders(); }

    void open(const BrowserFactory &makeBrowser = {})
    {
        const BrowserFactory recording = [this](QWidget *parent) {
            browser = new PageRecorder(parent);
            return BrowserView{browser, browser};
        };
        dialog =
            std::make_unique<StyleDialog>(space.workspace(), makeBrowser ? makeBrowser : recording, colours);
        ASSERT_TRUE(showAndExpose(*dialog));
    }
    QLineEdit *field(const char *key) const { return dialog->field(QLatin1String(key)); }
    void press(const char *name) const
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    bool styleFileExists() const { return space.exists(QStringLiteral("Style/Style.ini")); }

    TempWorkspace space;
    RecordingMessages messages;
    PresetColour colours;
    PageRecorder *browser = nullptr;
    std::unique_ptr<StyleDialog> dialog;
};

} // namespace

TEST_F(StyleDialogTest, HelpersWriteTheirFormsAndThePreviewFollows)
{
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form8"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("布局设计"));
    EXPECT_TRUE(dialog->isModal());
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
    // The helpers show a swatch or a sign, so a screen reader needs their names.
    for (QToolButton *helper : dialog->findChildren<QToolButton *>())
        EXPECT_FALSE(helper->accessibleName().isEmpty()) << helper->objectName().toStdString();
    EXPECT_EQ(field("Coverfontsize")->text(), QStringLiteral("13.5"));
    EXPECT_EQ(field("Coverfontcolor")->text(), QStringLiteral("FFFFFF"));

    colours.answer = 0x0a0b0c;
    press("BodybgcolorPicker");
    EXPECT_EQ(colours.asked, QList<unsigned>{0x202020});
    EXPECT_EQ(field("Bodybgcolor")->text(), QStringLiteral("0A0B0C"));
    colours.answer.reset();
    press("BodybgcolorPicker");
    EXPECT_EQ(field("Bodybgcolor")->text(), QStringLiteral("0A0B0C")) << "cancelled";

    press("CoverfontsizeUp");
    EXPECT_EQ(field("Coverfontsize")->text(), QStringLiteral("14"));
    field("Coverwidth")->setText(QStringLiteral("17"));
    press("CoverwidthDown");
    press("CoverwidthDown");
    EXPECT_EQ(field("Coverwidth")->text(), QStringLiteral("16"));
    press("LinecontentDown");
    EXPECT_EQ(field("Linecontent")->text(), QStringLiteral("2"));

    ASSERT_TRUE(waitUntil([&] { return browser->pages.last().contains(QStringLiteral("#0A0B0C")); }, 2000));
    EXPECT_EQ(browser->pages.last(), dialog->previewHtml());
    EXPECT_TRUE(browser->pages.last().contains(QStringLiteral("width=\"16px\"")));
    EXPECT_FALSE(styleFileExists());
}

TEST_F(StyleDialogTest, OkRefusesABadValueThenWritesTheFileTheNextRunUses)
{
    open();
    field("Coverheight")->setText(QStringLiteral("2001"));
    field("Numberfontcolor")->setText(QStringLiteral("#666666"));
    press("Command2");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Coverheight的值必须在16到2000之间!")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(styleFileExists());

    press("Command1");
    EXPECT_EQ(field("Coverheight")->text(), QStringLiteral("250"));
    EXPECT_EQ(field("Numberfontcolor")->text(), QStringLiteral("666666"));
    field("Linecontent")->setText(QStringLiteral("0"));
    press("Command2");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(style_values::read(space.workspace())->at(2), QStringLiteral("0"));
    EXPECT_EQ(messages.messages().size(), 1);
}

TEST_F(StyleDialogTest, EscClosesWithoutSavingEvenFromTheWebView)
{
    QWebEngineView *view = nullptr;
    open([&view](QWidget *parent) {
        BrowserView made = makeWebEngineBrowser(parent);
        view = qobject_cast<QWebEngineView *>(made.widget);
        return made;
    });
    ASSERT_NE(view, nullptr);
    field("Coverwidth")->setText(QStringLiteral("300"));
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(styleFileExists());
}

TEST_F(StyleDialogTest, ThePageSetAndSiteNameAreSavedAndThePreviewShowsTheChosenSet)
{
    open();
    auto *pageSet = dialog->findChild<QComboBox *>(QStringLiteral("Pageset"));
    auto *siteName = dialog->findChild<QLineEdit *>(QStringLiteral("Sitename"));
    ASSERT_TRUE(pageSet && siteName);
    EXPECT_EQ(pageSet->currentText(), QStringLiteral("经典"));
    pageSet->setCurrentIndex(1);
    EXPECT_TRUE(browser->pages.last().contains(QStringLiteral("id=\"search\"")));
    siteName->setText(QStringLiteral("  家庭 & 影院 "));
    EXPECT_TRUE(
        waitUntil([this] { return browser->pages.last().contains(QStringLiteral("家庭 &amp; 影院")); }));
    press("Command2");
    EXPECT_EQ(chosenPageSet(space.workspace()), PageSet::Modern);
    EXPECT_EQ(style_values::readPageChoice(space.workspace()).siteName, QStringLiteral("家庭 & 影院"));
    EXPECT_TRUE(messages.isEmpty());
}
