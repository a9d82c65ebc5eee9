#include "app/gui/CoverController.h"

#include "app/gui/MainWindow.h"
#include "covers/CoverTexts.h"
#include "covers/gui/CandidatePicker.h"
#include "covers/gui/PageFetchSearchDialog.h"
#include "platform/FileChooser.h"
#include "platform/gui/NetworkHttpClient.h"
#include "support/LoopbackHttpServer.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::covers;
using namespace tessaly::testing;

namespace {

// Answers the open-file dialog with a preset file and counts the askings.
class PresetFileChooser : public FileChooser
{
public:
    PresetFileChooser(int &asked, QString &filter) : m_asked(asked), m_filter(filter) {}
    QString openFile(const QString &filter) override
    {
        ++m_asked;
        m_filter = filter;
        return answer;
    }
    QString openFileIn(const QString &filter, const QString &startFolder) override
    {
        lastStartFolder = startFolder;
        return openFile(filter);
    }

    QString answer;
    inline static QString lastStartFolder;

private:
    int &m_asked;
    QString &m_filter;
};

class CoverCommands : public WindowFixture
{
protected:
    CoverCommands()
    {
        // "选取封面" remembers its folder in the user's configuration.
        QStandardPaths::setTestModeEnabled(true);
        writeQuietStyle();
        seams.fileChooser = &fileChooser;
    }

    void open(const QStringList &projects, int selectedRow = 0)
    {
        workspace.writeList(projects);
        openWindow(Showing::Shown);
        if (selectedRow >= 0 && !projects.isEmpty())
            window->selectRow(selectedRow);
        controller = window->findChild<CoverController *>();
        ASSERT_NE(controller, nullptr);
        messages.clear();
    }

    void answerFileDialogWith(const QString &file) { fileChooser.answer = file; }

    TempWorkspace &workspace = files;
    CoverController *controller = nullptr;
    int fileDialogs = 0;
    QString fileFilter;
    PresetFileChooser fileChooser{fileDialogs, fileFilter};
};

} // namespace

TEST_F(CoverCommands, PickingAPictureMakesItTheCover)
{
    open({"甲", "乙"}, 1);
    workspace.writeBytes("Web/Image/乙.jpg", "old cover");
    workspace.writeBytes("pictures/new.JPG", makePicture(20, 20));
    answerFileDialogWith(workspace.path("pictures/new.JPG"));
    buttonNamed(*window, "Command5")->click();
    EXPECT_EQ(fileFilter, QStringLiteral("图片文件(*.jpg)"));
    EXPECT_EQ(workspace.readBytes("Web/Image/乙.jpg"), makePicture(20, 20));
    EXPECT_FALSE(workspace.exists("Web/Image/甲.jpg"));
    EXPECT_EQ(QDir(workspace.path("Web/Image")).entryList(QDir::Files | QDir::Hidden), QStringList{"乙.jpg"});
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(CoverCommands, CancellingOrPickingSomethingElseChangesNothingQuietly)
{
    open({"甲"});
    workspace.writeBytes("Web/Image/甲.jpg", "old cover");
    answerFileDialogWith(QString());
    buttonNamed(*window, "Command5")->click();
    workspace.writeBytes("pictures/text.jpg", "not a picture at all");
    answerFileDialogWith(workspace.path("pictures/text.jpg"));
    buttonNamed(*window, "Command5")->click();
    EXPECT_EQ(fileDialogs, 2);
    EXPECT_EQ(workspace.readBytes("Web/Image/甲.jpg"), QByteArray("old cover"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CoverCommands, AFailedCoverWriteKeepsTheOldCoverAndSaysWhy)
{
    open({"甲"});
    workspace.makeFolder("Web/Image/甲.jpg/in-the-way");
    workspace.writeBytes("pictures/new.jpg", makePicture(20, 20));
    answerFileDialogWith(workspace.path("pictures/new.jpg"));
    buttonNamed(*window, "Command5")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(workspace.workspace().coverFile("甲") + "\r\n"));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
}

TEST_F(CoverCommands, AnUnusableProjectNameOpensNothing)
{
    open({".."});
    answerFileDialogWith(QString());
    for (const char *command : {"Command5", "Command10", "Command11"}) {
        messages.clear();
        buttonNamed(*window, command)->click();
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("无法使用的项目名称: ..")}) << command;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(fileDialogs, 0);
}

TEST_F(CoverCommands, WithoutProjectsTheCommandsDoNothing)
{
    open({});
    answerFileDialogWith(QString());
    for (const char *command : {"Command5", "Command10", "Command11"})
        buttonNamed(*window, command)->click();
    EXPECT_EQ(fileDialogs, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CoverCommands, TheFirstSiteSearchUsesItsTemplateAndOkWritesTheCover)
{
    LoopbackHttpServer server;
    const QByteArray picture = makePicture(25, 35);
    server.serveBody("/search_%E7%94%B2/",
                     QStringLiteral("<img src=\"s\" data-src=\"%1/p.png\" width=\"1\" title=\"P\" />")
                         .arg(server.url(QString()))
                         .toUtf8(),
                     "text/html");
    server.serveBody("/p.png", picture, "image/png");
    workspace.writeText(QStringLiteral("Setting/Setting.ini"),
                        QStringLiteral("[Setting]\r\nCoverSearch1=%1").arg(server.url("/search_[[Title]]/")));
    open({"甲"});
    bool listed = false;
    whenModalDialogShown([&](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeView *>("ListView1");
        listed = waitUntil([&] { return list->model()->rowCount() == 1; });
        auto *form5 = qobject_cast<PageFetchSearchDialog *>(&dialog);
        QSignalSpy shown(&form5->picker(), &CandidatePicker::previewShown);
        list->setCurrentIndex(list->model()->index(0, 0));
        EXPECT_TRUE(shown.wait(3000));
        dialog.findChild<QPushButton *>("Command2")->click();
    });
    buttonNamed(*window, "Command10")->click();
    EXPECT_TRUE(listed);
    EXPECT_EQ(workspace.readBytes("Web/Image/甲.jpg"), picture);
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(CoverCommands, AnEmptySearchTemplateIsReportedAndTheDialogStays)
{
    open({"甲"});
    for (const char *command : {"Command10", "Command11"}) {
        messages.clear();
        bool stillOpen = false;
        whenModalDialogShown([&](QDialog &dialog) {
            // The first site searches on opening, the second on "搜索".
            if (dialog.objectName() == QLatin1String("Form6"))
                dialog.findChild<QPushButton *>("Command1")->click();
            waitUntil([&] { return !messages.isEmpty(); });
            stillOpen = dialog.isVisible();
            dialog.reject();
        });
        buttonNamed(*window, command)->click();
        EXPECT_EQ(messages.texts(), QStringList{texts::noSearchAddress()}) << command;
        EXPECT_TRUE(stillOpen) << command;
    }
}

TEST_F(CoverCommands, ThePictureDialogStartsWhereThePictureLastChosenWas)
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, "Tessaly", "Tessaly").clear();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString firstStart = QDir(pictures).exists() ? pictures : QDir::homePath();

    open({"甲"});
    answerFileDialogWith(QString());
    buttonNamed(*window, "Command5")->click();
    EXPECT_EQ(PresetFileChooser::lastStartFolder, firstStart);

    // Even a file that is no picture was chosen from its folder.
    workspace.writeBytes("chosen/not-a-picture.jpg", "text");
    answerFileDialogWith(workspace.path("chosen/not-a-picture.jpg"));
    buttonNamed(*window, "Command5")->click();
    answerFileDialogWith(QString());
    buttonNamed(*window, "Command5")->click();
    EXPECT_EQ(PresetFileChooser::lastStartFolder, workspace.path("chosen"));

    QDir(workspace.path("chosen")).removeRecursively();
    buttonNamed(*window, "Command5")->click();
    EXPECT_EQ(PresetFileChooser::lastStartFolder, firstStart) << "a vanished folder is not offered";
    EXPECT_NE(PresetFileChooser::lastStartFolder, QDir::currentPath());
}
