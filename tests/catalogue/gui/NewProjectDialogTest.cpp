#include "catalogue/gui/NewProjectDialog.h"

#include "catalogue/ProjectList.h"
#include "catalogue/gui/FolderChooserDialog.h"
#include "catalogue/gui/FolderListView.h"
#include "settings/IniFile.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

ProjectList listed(const QString &name)
{
    ProjectList projects;
    projects.setNames({name});
    return projects;
}

class NewProjectDialogTest : public ::testing::Test
{
protected:
    NewProjectDialogTest()
        : dialog(files.withFolders().workspace(), [this](const NewProject &project) {
              // Said as the session says it.
              const ProjectCreation creation = createProject(files.workspace(), projects, project);
              if (!creation.failures.isEmpty())
                  Messages::error(creation.failureText());
              if (creation.result != CreationResult::Created)
                  return false;
              added.append(project.name);
              return true;
          })
    {
        EXPECT_TRUE(showAndExpose(dialog));
        nameBox = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"));
    }

    void typeName(const QString &name)
    {
        nameBox->setFocus();
        nameBox->clear();
        typeText(*nameBox, name);
    }
    void press(const char *button)
    {
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    QString storedFolder(const QString &name) const
    {
        return ini::read(QStringLiteral("Setting"), QStringLiteral("File"),
                         files.workspace().projectSettingsFile(name));
    }

    TempWorkspace files;
    RecordingMessages messages;
    QStringList added;
    ProjectList projects = listed(QStringLiteral("Listed"));
    NewProjectDialog dialog;
    QLineEdit *nameBox = nullptr;
};

} // namespace

TEST_F(NewProjectDialogTest, IsForm2WithItsCaptionAndNoDefaultButton)
{
    EXPECT_EQ(dialog.objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加"));
    EXPECT_TRUE(dialog.isModal());
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->text(), QStringLiteral("确定"));
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("Command2"))->text(), QStringLiteral("取消"));
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("Command3"))->text(), QStringLiteral("..."));
}

TEST_F(NewProjectDialogTest, OkWithATypedNameAddsItWithoutASettingsFile)
{
    typeName(QStringLiteral("  第一季"));
    press("Command1");

    EXPECT_EQ(added, QStringList({QStringLiteral("  第一季")}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/  第一季.ini")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NewProjectDialogTest, EnterConfirmsOnlyANameBoxThatIsNotEmpty)
{
    QTest::keyClick(nameBox, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.isEmpty());

    press("Command1");
    EXPECT_TRUE(dialog.isVisible()) << "OK on an empty name does nothing";
    EXPECT_TRUE(messages.isEmpty());

    typeName(QStringLiteral("Film"));
    QTest::keyClick(nameBox, Qt::Key_Enter);
    EXPECT_EQ(added, QStringList({QStringLiteral("Film")}));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(NewProjectDialogTest, EnterOnAFocusedButtonPressesIt)
{
    typeName(QStringLiteral("Film"));
    QPushButton *cancel = dialog.findChild<QPushButton *>(QStringLiteral("Command2"));
    QSignalSpy cancelled(cancel, &QPushButton::clicked);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(added.isEmpty());

    dialog.show();
    QPushButton *ok = dialog.findChild<QPushButton *>(QStringLiteral("Command1"));
    QSignalSpy confirmed(ok, &QPushButton::clicked);
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(confirmed.size(), 1);
    EXPECT_EQ(added, QStringList({QStringLiteral("Film")}));
}

TEST_F(NewProjectDialogTest, EscAndCancelCloseWithoutChanges)
{
    typeName(QStringLiteral("Film"));
    QTest::keyClick(nameBox, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    ASSERT_TRUE(showAndExpose(dialog));
    press("Command2");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(added.isEmpty());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/List.ini")));
}

TEST_F(NewProjectDialogTest, ARefusedNameKeepsTheDialogOpenWithTheName)
{
    const QStringList refused{QStringLiteral("问题？"), QStringLiteral(".hidden"), QStringLiteral("Listed"),
                              QStringLiteral("setting")};
    for (const QString &name : refused) {
        typeName(name);
        press("Command1");
        EXPECT_TRUE(dialog.isVisible()) << name.toStdString();
        EXPECT_EQ(nameBox->text(), name);
    }
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("非法名称,数据中不能含有   ？   字符!"),
                                             QStringLiteral("非法名称,名称不能以.开头!"),
                                             QStringLiteral("该文件夹已经存在,请使用其他名称!"),
                                             QStringLiteral("该名称为系统保留名称,请使用其他名称!")}));
    EXPECT_TRUE(added.isEmpty());

    typeName(QStringLiteral("listed"));
    press("Command1");
    EXPECT_EQ(added, QStringList({QStringLiteral("listed")}));
}

namespace {

// Drives the folder chooser that "..." opens modally: down into `into`, then
// `confirm` on the row `choose` (or Cancel when `choose` is empty).
void answerChooser(NewProjectDialog &dialog, const QString &into, const QString &choose)
{
    QTimer::singleShot(0, &dialog, [&dialog, into, choose] {
        auto *chooser = dialog.findChild<FolderChooserDialog *>();
        ASSERT_NE(chooser, nullptr);
        FolderListView *folders = chooser->folderList();
        if (!into.isEmpty()) {
            clickRow(*folders, rowWithText(*folders, into));
            folders->openSelectedFolder();
        }
        if (choose.isEmpty()) {
            chooser->reject();
            return;
        }
        clickRow(*folders, rowWithText(*folders, choose));
        QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        if (chooser->isVisible())
            chooser->reject();
    });
}

} // namespace

TEST_F(NewProjectDialogTest, TheChosenFolderIsRecordedUnderTheNameInTheBoxAtOk)
{
    const QString root = files.makeFolder(QStringLiteral("Movies"));
    files.makeFolder(QStringLiteral("Movies/Series/Season 1"));
    files.writeSiteSettings(root);

    answerChooser(dialog, QStringLiteral("Series"), QStringLiteral("Season 1"));
    press("Command3");
    // A season is named after its series.
    EXPECT_EQ(nameBox->text(), QStringLiteral("Series Season 1"));
    EXPECT_EQ(dialog.episodeFolder(), root + QStringLiteral("/Series/Season 1"));

    answerChooser(dialog, {}, {});
    press("Command3");
    EXPECT_EQ(nameBox->text(), QStringLiteral("Series Season 1")) << "a cancelled chooser changes nothing";

    typeName(QStringLiteral("系列 第一季"));
    press("Command1");
    EXPECT_EQ(added, QStringList({QStringLiteral("系列 第一季")}));
    EXPECT_EQ(storedFolder(QStringLiteral("系列 第一季")), root + QStringLiteral("/Series/Season 1"));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/Season 1.ini")));
}

TEST_F(NewProjectDialogTest, AFailedSettingsWriteIsReportedAndTheDialogStays)
{
    const QString root = files.makeFolder(QStringLiteral("Movies"));
    files.makeFolder(QStringLiteral("Movies/Film"));
    files.writeSiteSettings(root);
    files.makeFolder(QStringLiteral("Setting/Film.ini"));

    answerChooser(dialog, {}, QStringLiteral("Film"));
    press("Command3");
    press("Command1");

    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(
        files.workspace().projectSettingsFile(QStringLiteral("Film")) + QStringLiteral("\r\n")));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(added.isEmpty());
}

TEST_F(NewProjectDialogTest, AnUnreadableListRefusesAtOkAsTheCommandLineDoes)
{
    const QByteArray unreadable("Listed\r\n\xff\xff\r\n");
    files.writeBytes(QStringLiteral("Setting/List.ini"), unreadable);
    ASSERT_EQ(projects.load(files.workspace().listFile()), ProjectList::LoadResult::Unreadable);
    typeName(QStringLiteral("New"));
    press("Command1");

    EXPECT_EQ(messages.texts(), QStringList{ProjectList::unreadableText(files.workspace().listFile())});
    EXPECT_TRUE(added.isEmpty());
    EXPECT_EQ(projects.names(), QStringList{QStringLiteral("Listed")});
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/List.ini")), unreadable);
}
