#include "settings/gui/SettingsDialog.h"

#include "app/WorkspaceSession.h"
#include "files/TextFile.h"
#include "settings/EditedSettings.h"
#include "settings/IniFile.h"
#include "support/AnsweringFileChooser.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

const QString SettingsFile = QStringLiteral("Setting/Setting.ini");

class SettingsDialogTest : public ::testing::Test
{
protected:
    SettingsDialogTest() { files.withFolders(); }

    void open()
    {
        // Saved as the window's session saves them.
        dialog = std::make_unique<SettingsDialog>(
            files.workspace(),
            [this](const EditedSettings &edited) { return session.saveSettings(edited).done(); }, folders);
        EXPECT_TRUE(showAndExpose(*dialog));
    }
    QLineEdit *box(const char *name) const { return dialog->findChild<QLineEdit *>(name); }
    QCheckBox *publishBox() const { return dialog->findChild<QCheckBox *>(QStringLiteral("Check1")); }
    void press(const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    void type(const char *name, const QString &text)
    {
        box(name)->clear();
        typeText(*box(name), text);
    }
    QString stored(const QString &key) const
    {
        return ini::read(QStringLiteral("Setting"), key, files.path(SettingsFile));
    }
    // The keys of `Setting.ini` in the order they stand in the file.
    QStringList storedKeys() const
    {
        QStringList keys;
        for (const QByteArray &line : files.readBytes(SettingsFile).split('\n')) {
            if (line.contains('='))
                keys.append(QString::fromLatin1(line.left(line.indexOf('='))));
        }
        return keys;
    }

    TempWorkspace files;
    WorkspaceSession session{files.workspace().root()};
    RecordingMessages messages;
    // The "浏览..." buttons' folder dialog: cancelled unless told otherwise.
    AnsweringFileChooser folders;
    std::unique_ptr<SettingsDialog> dialog;
};

} // namespace

TEST_F(SettingsDialogTest, IsForm4WithItsGroupsAndNoDefaultButton)
{
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form4"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("设置"));
    EXPECT_TRUE(dialog->isModal());
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
    // A screen reader reads the tooltip as the control's description; the check box is a button too.
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->text() != QStringLiteral("确定") && button->text() != QStringLiteral("取消")) {
            EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
        }
    }
    EXPECT_EQ(box("Text5")->placeholderText(), QStringLiteral("https://HOST/search_[[Title]]/"));
    EXPECT_EQ(box("Text6")->placeholderText(),
              QStringLiteral("http://HOST/search.html?wd=[[Title]]&submit="));
}

TEST_F(SettingsDialogTest, WithoutASettingsFileOkWritesEveryKeyInOrder)
{
    open();
    for (const char *name : {"Text1", "Text2", "Text4", "Text5", "Text6"})
        EXPECT_EQ(box(name)->text(), QString()) << name;
    EXPECT_FALSE(publishBox()->isChecked());

    press("Command2");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(storedKeys(), QStringList({QStringLiteral("WebUpdate"), QStringLiteral("MovieFile"),
                                         QStringLiteral("WebFile"), QStringLiteral("WebLink"),
                                         QStringLiteral("CoverSearch1"), QStringLiteral("CoverSearch2"),
                                         QStringLiteral("NaturalOrder"), QStringLiteral("CheckVideos")}));
    EXPECT_EQ(stored(QStringLiteral("WebUpdate")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("MovieFile")), QString());
    EXPECT_EQ(stored(QStringLiteral("NaturalOrder")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("CheckVideos")), QStringLiteral("True"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsDialogTest, OpensWithTheStoredValuesAndWritesTheEditedOnes)
{
    files.writeSiteSettings(QStringLiteral("/srv/影片"), QStringLiteral("/srv/site"),
                            QStringLiteral("http://nas/"), QStringLiteral("True"));
    open();
    EXPECT_EQ(box("Text1")->text(), QStringLiteral("/srv/影片"));
    EXPECT_EQ(box("Text2")->text(), QStringLiteral("/srv/site"));
    EXPECT_EQ(box("Text4")->text(), QStringLiteral("http://nas/"));
    EXPECT_TRUE(publishBox()->isChecked());

    type("Text1", QStringLiteral("/srv/新 片"));
    type("Text5", QStringLiteral("https://a.example/search_[[Title]]/"));
    type("Text6", QStringLiteral("http://b.example/s?wd=[[Title]]&submit="));
    QTest::mouseClick(publishBox(), Qt::LeftButton, {}, QPoint(8, publishBox()->height() / 2));
    press("Command2");

    EXPECT_TRUE(
        files.readBytes(SettingsFile).contains(text::encode(QStringLiteral("MovieFile=/srv/新 片\r\n"))));
    EXPECT_EQ(stored(QStringLiteral("WebUpdate")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("WebFile")), QStringLiteral("/srv/site"));
    EXPECT_EQ(stored(QStringLiteral("CoverSearch1")), QStringLiteral("https://a.example/search_[[Title]]/"));
    EXPECT_EQ(stored(QStringLiteral("CoverSearch2")),
              QStringLiteral("http://b.example/s?wd=[[Title]]&submit="));

    open();
    EXPECT_EQ(box("Text5")->text(), QStringLiteral("https://a.example/search_[[Title]]/"));
    EXPECT_EQ(box("Text6")->text(), QStringLiteral("http://b.example/s?wd=[[Title]]&submit="));
}

TEST_F(SettingsDialogTest, OnlyTheExactWordFalseClearsTheNaturalOrderBox)
{
    const auto orderBox = [this] { return dialog->findChild<QCheckBox *>(QStringLiteral("Check2")); };
    for (const char *value : {"", "false", "0", "True"}) {
        files.writeText(SettingsFile,
                        QStringLiteral("[Setting]\r\nNaturalOrder=") + QString::fromUtf8(value));
        open();
        ASSERT_NE(orderBox(), nullptr);
        EXPECT_EQ(orderBox()->text(), QStringLiteral("剧集按自然顺序排列"));
        EXPECT_TRUE(orderBox()->isChecked()) << value;
    }
    files.writeText(SettingsFile, QStringLiteral("[Setting]\r\nNaturalOrder=False"));
    open();
    EXPECT_FALSE(orderBox()->isChecked());
    QTest::mouseClick(orderBox(), Qt::LeftButton, {}, QPoint(8, orderBox()->height() / 2));
    press("Command2");
    EXPECT_EQ(stored(QStringLiteral("NaturalOrder")), QStringLiteral("True"));
}

TEST_F(SettingsDialogTest, TheVideoCheckBoxIsClearedOnlyByFalseAndSavedBothWays)
{
    const auto checkBox = [this] { return dialog->findChild<QCheckBox *>(QStringLiteral("Check3")); };
    files.writeText(SettingsFile, QStringLiteral("[Setting]\r\nCheckVideos=false"));
    open();
    ASSERT_NE(checkBox(), nullptr);
    EXPECT_EQ(checkBox()->text(), QStringLiteral("生成时检查视频能否在浏览器中播放"));
    EXPECT_TRUE(checkBox()->isChecked());
    QTest::mouseClick(checkBox(), Qt::LeftButton, {}, QPoint(8, checkBox()->height() / 2));
    press("Command2");
    EXPECT_EQ(stored(QStringLiteral("CheckVideos")), QStringLiteral("False"));

    open();
    EXPECT_FALSE(checkBox()->isChecked());
    QTest::mouseClick(checkBox(), Qt::LeftButton, {}, QPoint(8, checkBox()->height() / 2));
    press("Command2");
    EXPECT_EQ(stored(QStringLiteral("CheckVideos")), QStringLiteral("True"));
}

TEST_F(SettingsDialogTest, OnlyTheExactWordTrueTicksTheBox)
{
    files.writeSiteSettings({}, {}, {}, QStringLiteral("true"));
    open();
    EXPECT_FALSE(publishBox()->isChecked());
    press("Command2");
    EXPECT_EQ(stored(QStringLiteral("WebUpdate")), QStringLiteral("False"));
}

TEST_F(SettingsDialogTest, EscCancelAndEnterWriteNothing)
{
    open();
    type("Text1", QStringLiteral("/srv"));
    QTest::keyClick(box("Text1"), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "Enter confirms nothing here";
    QTest::keyClick(box("Text1"), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());

    open();
    press("Command3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(files.exists(SettingsFile));
}

TEST_F(SettingsDialogTest, TheTestButtonsAskOnlyForAnExistingFolder)
{
    const QString folder = files.makeFolder(QStringLiteral("Movies"));
    files.writeBytes(QStringLiteral("Movies/file.mp4"), "x");
    open();

    press("Command1");
    press("Command4");
    type("Text1", QStringLiteral("  "));
    press("Command1");
    type("Text1", folder + QStringLiteral("/file.mp4"));
    press("Command1");
    type("Text2", folder);
    press("Command4");

    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("请填写影片文件路径!"),
                                             QStringLiteral("请填写站点路径!"), QStringLiteral("连接失败!"),
                                             QStringLiteral("连接失败!"), QStringLiteral("连接成功!")}));
    EXPECT_EQ(messages.messages().at(2).icon, MessageIcon::Error);
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
    EXPECT_FALSE(files.exists(SettingsFile));
}

TEST_F(SettingsDialogTest, AnUnwritableSettingFolderIsReportedAndTheDialogStays)
{
    // A plain file where the `Setting` folder belongs: nothing can be written there.
    QDir(files.path(QStringLiteral("Setting"))).removeRecursively();
    files.writeBytes(QStringLiteral("Setting"), "not a folder");
    open();
    type("Text1", QStringLiteral("/srv"));
    press("Command2");

    ASSERT_EQ(messages.messages().size(), 1);
    const QString path = files.workspace().settingsFile();
    EXPECT_TRUE(messages.last().text.startsWith(path + QStringLiteral("\r\n")));
    EXPECT_GT(messages.last().text.size(), path.size() + 2) << "the reason follows the path";
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(box("Text1")->text(), QStringLiteral("/srv"));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting")), QByteArray("not a folder"));
}

TEST_F(SettingsDialogTest, ASettingsFileThatCannotBeReadIsSaidAndReplacedOnlyWhenAgreed)
{
    const QByteArray undecodable("[Setting]\r\nMovieFile=\xff\xff\r\nOther=kept\r\n");
    files.writeBytes(SettingsFile, undecodable);
    open();
    const QString path = files.workspace().settingsFile();
    EXPECT_EQ(messages.texts(), QStringList(path + QStringLiteral("\r\n") + text::undecodableReason()));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);

    messages.clear();
    type("Text1", QStringLiteral("/srv"));
    messages.setNextAnswer(MessageAnswer::No);
    press("Command2");
    EXPECT_EQ(messages.texts(), QStringList(QStringLiteral("设置文件无法读取,保存将替换整个文件,是否继续?")));
    EXPECT_EQ(messages.last().icon, MessageIcon::Question);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(files.readBytes(SettingsFile), undecodable);

    messages.setNextAnswer(MessageAnswer::Yes);
    press("Command2");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored(QStringLiteral("MovieFile")), QStringLiteral("/srv"));
    EXPECT_EQ(storedKeys(), (QStringList{"WebUpdate", "MovieFile", "WebFile", "WebLink", "CoverSearch1",
                                         "CoverSearch2", "NaturalOrder", "CheckVideos"}));
}

TEST_F(SettingsDialogTest, BrowseStartsAtAnExistingValueElseHomeAndCancelChangesNothing)
{
    const QString movies = files.makeFolder(QStringLiteral("Movies"));
    const QString site = files.makeFolder(QStringLiteral("Site"));
    files.writeText(SettingsFile, QStringLiteral("[Setting]\r\nMovieFile=%1\r\nWebFile=%1/gone").arg(movies));
    open();
    folders.answers = {QString(), site};

    press("Command5");
    EXPECT_EQ(box("Text1")->text(), movies) << "Cancel keeps the box";
    press("Command6");
    EXPECT_EQ(box("Text2")->text(), site);
    EXPECT_EQ(folders.startFolders, QStringList({movies, QDir::homePath()}));
    EXPECT_EQ(stored(QStringLiteral("WebFile")), movies + QStringLiteral("/gone"))
        << "nothing saved before OK";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingsDialogTest, TheSiteLinkTestRunsOffTheWindowThreadAndAMissOffersTheMovieLink)
{
    const QString site = files.makeFolder(QStringLiteral("site"));
    const QString movies = files.makeFolder(QStringLiteral("movies"));
    open();
    QThread *testedOn = nullptr;
    EditedSettings tested;
    dialog->setServerTest(
        [&](const EditedSettings &settings) {
            testedOn = QThread::currentThread();
            tested = settings;
            return QStringLiteral("网页服务器无法提供视频: http://h/movie/a/1.mp4 (HTTP 状态 404)");
        },
        [](const QString &result) { return result == QStringLiteral("网页服务器可以提供视频"); });
    type("Text1", movies);
    type("Text2", site);
    type("Text4", QStringLiteral("http://h/"));
    QPushButton *makeLink = dialog->findChild<QPushButton *>(QStringLiteral("Command8"));
    EXPECT_TRUE(makeLink->isHidden()) << "offered only once the server misses";

    QSignalSpy finished(dialog.get(), &SettingsDialog::serverTestFinished);
    press("Command7");
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_NE(testedOn, QThread::currentThread());
    EXPECT_EQ(tested.webLink, QStringLiteral("http://h/"));
    EXPECT_EQ(messages.last().text,
              QStringLiteral("网页服务器无法提供视频: http://h/movie/a/1.mp4 (HTTP 状态 404)"));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    ASSERT_FALSE(makeLink->isHidden());

    press("Command8");
    EXPECT_EQ(messages.last().text, QStringLiteral("已创建 movie 链接"));
    EXPECT_EQ(QFileInfo(site + QStringLiteral("/movie")).symLinkTarget(), movies);
    EXPECT_TRUE(makeLink->isHidden());
    EXPECT_TRUE(stored(QStringLiteral("WebLink")).isEmpty()) << "a test saves nothing";
}

TEST_F(SettingsDialogTest, TheMovieLinkSaysWhyItWasNotMade)
{
    const QString site = files.makeFolder(QStringLiteral("site"));
    open();
    type("Text2", site);
    QPushButton *makeLink = dialog->findChild<QPushButton *>(QStringLiteral("Command8"));
    ASSERT_FALSE(makeLink->isHidden()) << "offered without a site link";

    press("Command8");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("请填写影片文件路径!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_FALSE(QFileInfo(site + QStringLiteral("/movie")).isSymLink());
}
