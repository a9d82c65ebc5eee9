#include "files/FileServices.h"

#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

TEST(FileTests, ExistenceTestsTellFilesFromFolders)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("f/.hidden.jpg"), "x");
    ws.writeBytes(QStringLiteral("f/plain.jpg"), "x");
    // A hidden cover still exists: otherwise it would be overwritten as missing.
    EXPECT_TRUE(files::plainFileExists(ws.path(QStringLiteral("f/.hidden.jpg"))));
    EXPECT_TRUE(files::plainFileExists(ws.path(QStringLiteral("f/plain.jpg"))));
    EXPECT_FALSE(files::plainFileExists(ws.path(QStringLiteral("f"))));
    EXPECT_TRUE(files::directoryExists(ws.path(QStringLiteral("f"))));
    EXPECT_TRUE(files::directoryExists(ws.path(QStringLiteral("f/plain.jpg"))));
    EXPECT_TRUE(files::folderExists(ws.path(QStringLiteral("f"))));
    EXPECT_FALSE(files::folderExists(ws.path(QStringLiteral("f/plain.jpg"))));
    EXPECT_FALSE(files::folderExists(QString()));
    EXPECT_FALSE(files::plainFileExists(QString()));
}

TEST(FileListers, ListFilesInCaseFoldedOrderWithoutHiddenOrFolders)
{
    TempWorkspace ws;
    for (const char *name : {"b.mp4", "A.mp4", "c.txt", ".hidden.mp4", "a.mp4"})
        ws.writeBytes(QStringLiteral("m/") + QString::fromUtf8(name), "x");
    ws.makeFolder(QStringLiteral("m/sub"));
    const files::Listing listing = files::listFiles(ws.path(QStringLiteral("m")));
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(listing.entries, (QStringList{QStringLiteral("A.mp4"), QStringLiteral("a.mp4"),
                                            QStringLiteral("b.mp4"), QStringLiteral("c.txt")}));
}

TEST(FileListers, SortByCodeUnitNotByLocale)
{
    QStringList names{QStringLiteral("中.mp4"), QStringLiteral("Z.mp4"), QStringLiteral("_x.mp4"),
                      QStringLiteral("10.mp4"), QStringLiteral("9.mp4")};
    files::sortNames(names);
    // "Z" folds to "z" (0x7A), which comes after "_" (0x5F); Chinese comes last, not by pinyin.
    EXPECT_EQ(names, (QStringList{QStringLiteral("10.mp4"), QStringLiteral("9.mp4"), QStringLiteral("_x.mp4"),
                                  QStringLiteral("Z.mp4"), QStringLiteral("中.mp4")}));
}

TEST(FileListers, ListFoldersGivesSortedFullPaths)
{
    TempWorkspace ws;
    ws.makeFolder(QStringLiteral("r/b"));
    ws.makeFolder(QStringLiteral("r/A"));
    ws.makeFolder(QStringLiteral("r/.git"));
    ws.writeBytes(QStringLiteral("r/file"), "x");
    const files::Listing listing = files::listFolders(ws.path(QStringLiteral("r")));
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(listing.entries, (QStringList{ws.path(QStringLiteral("r/A")), ws.path(QStringLiteral("r/b"))}));
}

TEST(FileListers, AMissingFolderIsReportedNotListedAsEmpty)
{
    TempWorkspace ws;
    const files::Listing listing = files::listFiles(ws.path(QStringLiteral("nowhere")));
    EXPECT_FALSE(listing.ok());
    EXPECT_TRUE(listing.entries.isEmpty());
    EXPECT_FALSE(files::listFiles(QString()).ok());
}

TEST(FileChanges, CopyReplacesTheTargetWhole)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("a"), "new bytes");
    ws.writeBytes(QStringLiteral("b"), "old");
    ASSERT_TRUE(files::copyFileReplacing(ws.path(QStringLiteral("a")), ws.path(QStringLiteral("b"))));
    EXPECT_EQ(ws.readBytes(QStringLiteral("b")), QByteArray("new bytes"));
    EXPECT_TRUE(files::sameContents(ws.path(QStringLiteral("a")), ws.path(QStringLiteral("b"))));
}

TEST(FileChanges, FailuresComeBackWithTheSystemsReason)
{
    TempWorkspace ws;
    QString reason;
    EXPECT_FALSE(
        files::copyFileReplacing(ws.path(QStringLiteral("none")), ws.path(QStringLiteral("b")), &reason));
    EXPECT_FALSE(reason.isEmpty());
    reason.clear();
    EXPECT_FALSE(files::deleteFile(ws.path(QStringLiteral("none")), &reason));
    EXPECT_FALSE(reason.isEmpty());
    reason.clear();
    EXPECT_FALSE(files::makeFolder(ws.path(QStringLiteral("x/y")), &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(FilePaths, JoinWithExactlyOneSeparator)
{
    EXPECT_EQ(files::joinPath(QStringLiteral("/m"), QStringLiteral("a")), QStringLiteral("/m/a"));
    EXPECT_EQ(files::joinPath(QStringLiteral("/m/"), QStringLiteral("a")), QStringLiteral("/m/a"));
    EXPECT_EQ(files::joinPath(QStringLiteral("/"), QStringLiteral("a")), QStringLiteral("/a"));
    EXPECT_EQ(files::withoutTrailingSeparators(QStringLiteral("/m//")), QStringLiteral("/m"));
    EXPECT_EQ(files::withoutTrailingSeparators(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(files::withoutTrailingSeparators(QString()), QString());
}

TEST(FileChanges, AReplacedFileLeavesNoTemporaryFileBehind)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("Web/Image/A.jpg"), "old");
    ws.writeBytes(QStringLiteral("picked.jpg"), "new picture");
    QString reason;
    ASSERT_TRUE(files::copyFileReplacing(ws.path(QStringLiteral("picked.jpg")),
                                         ws.path(QStringLiteral("Web/Image/A.jpg")), &reason));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Image/A.jpg")), QByteArray("new picture"));
    EXPECT_EQ(QDir(ws.path(QStringLiteral("Web/Image"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("A.jpg")});
}

TEST(FileChanges, AFailedReplaceKeepsWhatWasThereAndSaysWhy)
{
    TempWorkspace ws;
    ws.makeFolder(QStringLiteral("Web/Image/A.jpg/occupied"));
    ws.writeBytes(QStringLiteral("picked.jpg"), "new");
    QString reason;
    EXPECT_FALSE(files::copyFileReplacing(ws.path(QStringLiteral("picked.jpg")),
                                          ws.path(QStringLiteral("Web/Image/A.jpg")), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(QDir(ws.path(QStringLiteral("Web/Image/A.jpg/occupied"))).exists());
    EXPECT_TRUE(QDir(ws.path(QStringLiteral("Web/Image"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
