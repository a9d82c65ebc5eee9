#include "catalogue/ProjectRemoval.h"

#include "catalogue/ProjectList.h"
#include "support/Permissions.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaly;
using tessaly::testing::RecordingMessages;
using tessaly::testing::TempWorkspace;

namespace {

void writeProjectFiles(const TempWorkspace &ws, const QString &name)
{
    ws.writeBytes(QStringLiteral("Web/Data/%1.html").arg(name), "page");
    ws.writeBytes(QStringLiteral("Web/Image/%1.jpg").arg(name), "cover");
    ws.writeText(QStringLiteral("Setting/%1.ini").arg(name), QStringLiteral("[Setting]\r\nFile=/films/x"));
}

} // namespace

TEST(ProjectRemoval, DeletesCoverAndPlayPageButKeepsTheSettingsFile)
{
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("星际 旅行"));

    const ProjectRemoval removal = removeProjectFiles(ws.workspace(), QStringLiteral("星际 旅行"));

    EXPECT_TRUE(removal.ok());
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Data/星际 旅行.html")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Image/星际 旅行.jpg")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Setting/星际 旅行.ini")));
}

TEST(ProjectRemoval, MissingFilesAreNoFailureAndOtherProjectsStay)
{
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("Other"));
    // A name that would be a wildcard pattern elsewhere is only ever itself.
    writeProjectFiles(ws, QStringLiteral("*"));

    EXPECT_TRUE(removeProjectFiles(ws.workspace(), QStringLiteral("Absent")).ok());
    EXPECT_TRUE(removeProjectFiles(ws.workspace(), QStringLiteral("*")).ok());

    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Data/Other.html")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Image/Other.jpg")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Image/*.jpg")));
}

TEST(ProjectRemoval, AnOutputFolderThatALinkTakesElsewhereIsLeftAlone)
{
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("A"));
    ws.writeBytes(QStringLiteral("elsewhere/A.html"), "not the program's");
    QDir(ws.path(QStringLiteral("Web/Data"))).removeRecursively();
    ASSERT_TRUE(QFile::link(ws.path(QStringLiteral("elsewhere")), ws.path(QStringLiteral("Web/Data"))));

    const ProjectRemoval removal = removeProjectFiles(ws.workspace(), QStringLiteral("A"));

    ASSERT_EQ(removal.failures.size(), 1);
    EXPECT_EQ(removal.failures.first().path, ws.path(QStringLiteral("Web/Data")));
    EXPECT_EQ(ws.readBytes(QStringLiteral("elsewhere/A.html")), "not the program's");
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Image/A.jpg"))) << "the cover inside Web still goes";
}

TEST(ProjectRemoval, AnUnusableNameTouchesNoFile)
{
    TempWorkspace ws;
    ws.withFolders();
    // "../index" would name Web/index.html as its play page.
    ws.writeBytes(QStringLiteral("Web/index.html"), "index");
    ws.writeBytes(QStringLiteral("Web/Image/...jpg"), "dots");

    const ProjectRemoval traversal = removeProjectFiles(ws.workspace(), QStringLiteral("../index"));
    const ProjectRemoval dots = removeProjectFiles(ws.workspace(), QStringLiteral(".."));

    EXPECT_TRUE(traversal.nameUnusable);
    EXPECT_TRUE(dots.nameUnusable);
    EXPECT_FALSE(traversal.ok());
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/index.html")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Image/...jpg")));
    EXPECT_EQ(unusableProjectNameText(QStringLiteral("../index")),
              QStringLiteral("无法使用的项目名称: ../index"));
}

PERMISSION_TEST(ProjectRemoval, AFileThatCannotBeDeletedIsReportedWithPathAndReason)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("A"));
    QFile::setPermissions(ws.path(QStringLiteral("Web/Image")), QFile::ReadOwner | QFile::ExeOwner);

    const ProjectRemoval removal = removeProjectFiles(ws.workspace(), QStringLiteral("A"));
    QFile::setPermissions(ws.path(QStringLiteral("Web/Image")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(removal.failures.size(), 1);
    EXPECT_EQ(removal.failures.first().path, ws.workspace().coverFile(QStringLiteral("A")));
    EXPECT_FALSE(removal.failures.first().reason.isEmpty());
    EXPECT_TRUE(removal.failureText().startsWith(removal.failures.first().path + QStringLiteral("\r\n")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Data/A.html")));
}

TEST(DeletingAProject, AnUnreadableListRefusesBeforeAnyFileIsTouched)
{
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("A"));
    const QByteArray unreadable("A\r\n\xff\xff\r\n");
    ws.writeBytes(QStringLiteral("Setting/List.ini"), unreadable);
    ProjectList projects;
    projects.load(ws.workspace().listFile());

    const ProjectDeletion deletion = deleteProject(ws.workspace(), projects, 0);
    EXPECT_FALSE(deletion.deleted);
    EXPECT_EQ(deletion.failureText(), ProjectList::unreadableText(ws.workspace().listFile()));
    EXPECT_EQ(projects.names(), QStringList{QStringLiteral("A")});
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Data/A.html")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Image/A.jpg")));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Setting/List.ini")), unreadable);
}

TEST(DeletingAProject, AnUnusableNameLosesOnlyItsRowWithoutAnError)
{
    TempWorkspace ws;
    ws.withFolders();
    RecordingMessages messages;
    ws.writeBytes(QStringLiteral("Web/index.html"), "index");
    ProjectList projects;
    projects.setNames({QStringLiteral("../index"), QStringLiteral("B")});

    const ProjectDeletion deletion = deleteProject(ws.workspace(), projects, 0);
    EXPECT_TRUE(deletion.deleted);
    EXPECT_TRUE(deletion.failures.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(projects.names(), QStringList{QStringLiteral("B")});
    EXPECT_EQ(ws.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("B\r\n"));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/index.html")));
}

TEST(DeletingAProject, AListThatCannotBeSavedKeepsItsRowsAndTheProjectsFiles)
{
    TempWorkspace ws;
    ws.withFolders();
    writeProjectFiles(ws, QStringLiteral("B"));
    ws.makeFolder(QStringLiteral("Setting/List.ini")); // nothing can be written there
    ProjectList projects;
    projects.setNames({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});

    const ProjectDeletion deletion = deleteProject(ws.workspace(), projects, 1);
    EXPECT_FALSE(deletion.deleted);
    EXPECT_EQ(projects.names(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    ASSERT_EQ(deletion.failures.size(), 1);
    EXPECT_EQ(deletion.failures.first().path, ws.workspace().listFile());
    EXPECT_TRUE(deletion.failureText().startsWith(ws.workspace().listFile() + QStringLiteral("\r\n")));
    // The row stays, so its cover must stay with it.
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Image/B.jpg")), QByteArray("cover"));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Data/B.html")));
}
