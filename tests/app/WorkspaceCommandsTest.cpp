#include "app/WorkspaceCommands.h"

#include "support/Permissions.h"
#include "support/TempWorkspace.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::workspace_commands;
using tessaly::testing::TempWorkspace;

TEST(ClearFolderFiles, DeletesThePlainFilesAndKeepsSubFoldersAndHiddenFiles)
{
    TempWorkspace ws;
    ws.withFolders();
    ws.writeBytes(QStringLiteral("Log/20240101120000.log"), "a");
    ws.writeBytes(QStringLiteral("Log/20240102120000.log"), "b");
    ws.writeBytes(QStringLiteral("Log/notes.txt"), "c");
    ws.writeBytes(QStringLiteral("Log/old/kept.log"), "d");
    ws.writeBytes(QStringLiteral("Log/.keep"), "e");

    const ClearResult result = clearFolderFiles(ws.workspace().log());

    EXPECT_TRUE(result.ok());
    EXPECT_FALSE(result.folderMissing);
    EXPECT_EQ(result.deleted, 3);
    EXPECT_FALSE(ws.exists(QStringLiteral("Log/notes.txt")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Log/old/kept.log")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Log/.keep")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Log")));
}

TEST(ClearFolderFiles, AMissingFolderIsNoFailure)
{
    TempWorkspace ws;
    ws.withFolders();
    const ClearResult result = clearFolderFiles(ws.workspace().temp());
    EXPECT_TRUE(result.folderMissing);
    EXPECT_TRUE(result.ok());
    EXPECT_FALSE(ws.exists(QStringLiteral("Temp")));
}

PERMISSION_TEST(ClearFolderFiles, ReportsAFileThatCannotBeDeletedAndDeletesTheRest)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    TempWorkspace ws;
    ws.withFolders();
    ws.writeBytes(QStringLiteral("Temp/a.jpg"), "a");
    ws.writeBytes(QStringLiteral("Temp/b.jpg"), "b");
    QFile::setPermissions(ws.path(QStringLiteral("Temp")), QFile::ReadOwner | QFile::ExeOwner);
    const ClearResult result = clearFolderFiles(ws.workspace().temp());
    QFile::setPermissions(ws.path(QStringLiteral("Temp")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(result.failures.size(), 2);
    EXPECT_TRUE(
        result.failureText().startsWith(ws.path(QStringLiteral("Temp/a.jpg")) + QStringLiteral("\r\n")));
}

TEST(FoldersToOpen, StyleFolderAndItsMessage)
{
    TempWorkspace ws;
    EXPECT_EQ(styleFolder(ws.workspace()).outcome, FolderToOpen::Outcome::Missing);
    ws.withFolders();
    const FolderToOpen style = styleFolder(ws.workspace());
    EXPECT_EQ(style.outcome, FolderToOpen::Outcome::Open);
    EXPECT_EQ(style.path, ws.workspace().style());
    EXPECT_EQ(styleFolderMissingText(), QStringLiteral("Style文件夹不存在!"));

    // With the new set chosen, its own folder, holding its templates.
    ws.writeText(QStringLiteral("Style/Style.ini"), QStringLiteral("[Setting]\r\nPageset=新版"));
    const FolderToOpen modernStyle = styleFolder(ws.workspace());
    EXPECT_EQ(modernStyle.outcome, FolderToOpen::Outcome::Open);
    EXPECT_EQ(modernStyle.path, ws.path(QStringLiteral("Style/新版")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Style/新版/PageStyle.html")));
}

TEST(FoldersToOpen, MovieAndSiteFoldersComeFromTheSiteSettings)
{
    TempWorkspace ws;
    ws.withFolders();
    EXPECT_EQ(movieFolder(ws.workspace()).outcome, FolderToOpen::Outcome::Nothing);
    EXPECT_EQ(siteFolder(ws.workspace()).outcome, FolderToOpen::Outcome::Nothing);

    const QString movies = ws.makeFolder(QStringLiteral("movies"));
    ws.writeSiteSettings(movies + QStringLiteral("//"), QStringLiteral("/no/such/site"));

    const FolderToOpen movie = movieFolder(ws.workspace());
    EXPECT_EQ(movie.outcome, FolderToOpen::Outcome::Open);
    EXPECT_EQ(movie.path, movies);

    const FolderToOpen site = siteFolder(ws.workspace());
    EXPECT_EQ(site.outcome, FolderToOpen::Outcome::Missing);
    EXPECT_EQ(site.path, QStringLiteral("/no/such/site"));

    ws.writeSiteSettings(QString(), ws.path(QStringLiteral("Setting/Setting.ini")));
    EXPECT_EQ(movieFolder(ws.workspace()).outcome, FolderToOpen::Outcome::Missing);
    EXPECT_TRUE(movieFolder(ws.workspace()).path.isEmpty());
    // A file is not a folder.
    EXPECT_EQ(siteFolder(ws.workspace()).outcome, FolderToOpen::Outcome::Missing);
}

TEST(SiteLink, IsWebLinkAndEmptyWithoutSettings)
{
    TempWorkspace ws;
    ws.withFolders();
    EXPECT_TRUE(siteLink(ws.workspace()).isEmpty());
    ws.writeSiteSettings(QString(), QString(), QStringLiteral("http://192.168.1.5/movie/"));
    EXPECT_EQ(siteLink(ws.workspace()), QStringLiteral("http://192.168.1.5/movie/"));
}

TEST(FolderClearings, CarryTheirQuestionsAndDoneTexts)
{
    TempWorkspace ws;
    const FolderClearing cache = cacheClearing(ws.workspace());
    EXPECT_EQ(cache.folder, ws.workspace().temp());
    EXPECT_EQ(cache.question, QStringLiteral("要清空缓存文件吗?"));
    EXPECT_EQ(cache.doneText, QStringLiteral("清空缓存完毕!"));
    const FolderClearing log = logClearing(ws.workspace());
    EXPECT_EQ(log.folder, ws.workspace().log());
    EXPECT_EQ(log.question, QStringLiteral("要清空日志吗?"));
    EXPECT_EQ(log.doneText, QStringLiteral("清空日志完毕!"));
}

TEST(ClearFolderFiles, DeletesFilesWhoseNamesAreNotUtf8)
{
    TempWorkspace ws;
    ws.withFolders();
    const QByteArray name = QFile::encodeName(ws.path(QStringLiteral("Log"))) + "/\xC8\xD5\xD6\xBE.log";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const ClearResult result = clearFolderFiles(ws.workspace().log());
    EXPECT_TRUE(result.ok()) << result.failureText().toStdString();
    EXPECT_EQ(result.deleted, 1);
    EXPECT_NE(::access(name.constData(), F_OK), 0);
}
