#include "files/FileServices.h"

#include "files/OpenFolder.h"
#include "support/FullDisk.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_TRUE(files::pathExists(ws.path(QStringLiteral("f"))));
    EXPECT_TRUE(files::pathExists(ws.path(QStringLiteral("f/plain.jpg"))));
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
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(*listing.failure,
              (files::Failure{ws.path(QStringLiteral("nowhere")), QStringLiteral("文件或文件夹不存在")}));
    EXPECT_TRUE(listing.entries.isEmpty());
    const files::Listing opened = files::OpenFolder(ws.path(QStringLiteral("nowhere"))).listFiles();
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.failure->path, ws.path(QStringLiteral("nowhere")));
    EXPECT_FALSE(files::listFiles(QString()).ok());
}

TEST(FileChanges, CopyReplacesTheTargetWhole)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("a"), "new bytes");
    ws.writeBytes(QStringLiteral("b"), "old");
    ASSERT_TRUE(files::copyFileReplacing(ws.path(QStringLiteral("a")), ws.path(QStringLiteral("b"))));
    EXPECT_EQ(ws.readBytes(QStringLiteral("b")), QByteArray("new bytes"));
}

TEST(FileChanges, FailuresComeBackWithThePathAndTheSystemsReason)
{
    TempWorkspace ws;
    const QString none = ws.path(QStringLiteral("none"));
    const files::Outcome<void> copied = files::copyFileReplacing(none, ws.path(QStringLiteral("b")));
    ASSERT_FALSE(copied);
    EXPECT_EQ(copied.failure(), (files::Failure{none, QStringLiteral("文件或文件夹不存在")}));
    const files::Outcome<void> deleted = files::deleteFile(none);
    ASSERT_FALSE(deleted);
    EXPECT_EQ(deleted.failure(), (files::Failure{none, QStringLiteral("文件或文件夹不存在")}));
    const files::Outcome<void> made = files::makeFolder(ws.path(QStringLiteral("x/y")));
    ASSERT_FALSE(made);
    EXPECT_EQ(made.failure().path, ws.path(QStringLiteral("x/y")));
    EXPECT_FALSE(made.failure().reason.isEmpty());
    const files::Outcome<void> madePrivate = files::makePrivateFolder(ws.path(QStringLiteral("x/y")));
    ASSERT_FALSE(madePrivate);
    EXPECT_EQ(madePrivate.failure(), made.failure());
    // A folder where a file should be, as a user may leave in a site folder.
    ws.makeFolder(QStringLiteral("page.html/inner"));
    const files::Outcome<void> written =
        files::writeFileAtomically(ws.path(QStringLiteral("page.html")), "page");
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().text(),
              ws.path(QStringLiteral("page.html")) + QStringLiteral("\r\n目标是一个文件夹"));
    // A folder made where a file already stands says so, not "not empty".
    ws.writeBytes(QStringLiteral("taken"), "x");
    const files::Outcome<void> madeOnFile = files::makeFolder(ws.path(QStringLiteral("taken")));
    ASSERT_FALSE(madeOnFile);
    EXPECT_EQ(madeOnFile.failure().reason, QStringLiteral("已存在同名的文件或文件夹"));
}

TEST(FileReader, APipeOrADeviceIsRefusedNotWaitedOnOrReadForever)
{
    // Linked or made in place of a template or a settings file, a pipe with
    // no writer would block the reader and /dev/zero would fill the memory.
    TempWorkspace ws;
    const QString pipe = ws.path(QStringLiteral("PageStyle.html"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), ws.path(QStringLiteral("Style.ini"))));
    for (const QString &path : {pipe, ws.path(QStringLiteral("Style.ini"))}) {
        const files::Outcome<QByteArray> bytes = files::readFileBytes(path);
        ASSERT_FALSE(bytes);
        EXPECT_EQ(bytes.failure(), (files::Failure{path, QStringLiteral("不是普通文件")}));
        // To the reader of a plain file they are not there at all.
        const files::Outcome<std::optional<QByteArray>> plain = files::readPlainFile(path);
        ASSERT_TRUE(plain);
        EXPECT_FALSE(plain->has_value());
    }
    ws.makeFolder(QStringLiteral("List.ini"));
    const files::Outcome<QByteArray> bytes = files::readFileBytes(ws.path(QStringLiteral("List.ini")));
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.failure().reason, QStringLiteral("目标是一个文件夹"));
}

TEST(FileReader, APlainFileIsReadAndAMissingOneIsNoFailure)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("Setting/甲.ini"), "bytes");
    const files::Outcome<std::optional<QByteArray>> read =
        files::readPlainFile(ws.path(QStringLiteral("Setting/甲.ini")));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->value_or(QByteArray()), QByteArray("bytes"));
    for (const QString &missing : {ws.path(QStringLiteral("Setting/乙.ini")), QString()}) {
        const files::Outcome<std::optional<QByteArray>> none = files::readPlainFile(missing);
        ASSERT_TRUE(none);
        EXPECT_FALSE(none->has_value());
    }
}

TEST(FileChanges, AFileWhereAFolderShouldBeIsNamedInChinese)
{
    // A site folder typed one level too deep, or a file left where a folder goes.
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("Image"), "x");
    const files::Outcome<void> made = files::makeFolder(ws.path(QStringLiteral("Image/sub")));
    ASSERT_FALSE(made);
    EXPECT_EQ(made.failure().reason, QStringLiteral("路径中有一项不是文件夹"));
    const files::Outcome<void> copied =
        files::copyFileReplacing(ws.path(QStringLiteral("Image/a")), ws.path(QStringLiteral("b")));
    ASSERT_FALSE(copied);
    EXPECT_EQ(copied.failure().reason, QStringLiteral("路径中有一项不是文件夹"));
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
    ASSERT_TRUE(files::copyFileReplacing(ws.path(QStringLiteral("picked.jpg")),
                                         ws.path(QStringLiteral("Web/Image/A.jpg"))));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Image/A.jpg")), QByteArray("new picture"));
    EXPECT_EQ(QDir(ws.path(QStringLiteral("Web/Image"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("A.jpg")});
}

TEST(FileChanges, AFailedReplaceKeepsWhatWasThereAndSaysWhy)
{
    TempWorkspace ws;
    ws.makeFolder(QStringLiteral("Web/Image/A.jpg/occupied"));
    ws.writeBytes(QStringLiteral("picked.jpg"), "new");
    const files::Outcome<void> copied = files::copyFileReplacing(ws.path(QStringLiteral("picked.jpg")),
                                                                 ws.path(QStringLiteral("Web/Image/A.jpg")));
    ASSERT_FALSE(copied);
    // The target could not be replaced: the failure names it, not the picture.
    EXPECT_EQ(copied.failure().path, ws.path(QStringLiteral("Web/Image/A.jpg")));
    EXPECT_FALSE(copied.failure().reason.isEmpty());
    EXPECT_TRUE(QDir(ws.path(QStringLiteral("Web/Image/A.jpg/occupied"))).exists());
    EXPECT_TRUE(QDir(ws.path(QStringLiteral("Web/Image"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

namespace {

// Makes a file whose name is these bytes, which need not be valid UTF-8.
void writeRawName(const QString &folder, const QByteArray &name, const QByteArray &bytes)
{
    const int fd =
        ::open((QFile::encodeName(folder) + '/' + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

QStringList allNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

TEST(FileListers, NamesThatAreNotUtf8KeepTheirBytesAndAreOrderedByThem)
{
    TempWorkspace ws;
    const QString folder = ws.makeFolder(QStringLiteral("m"));
    // Two code page 936 names that both decode to "a" U+FFFD U+FFFD ".mp4".
    writeRawName(folder, "a\xB5\xDA.mp4", "second");
    writeRawName(folder, "a\xB0\xA1.mp4", "first");
    writeRawName(folder, "b.mp4", "third");
    const files::Listing listing = files::listFiles(folder);
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(listing.encodedEntries, (QList<QByteArray>{"a\xB0\xA1.mp4", "a\xB5\xDA.mp4", "b.mp4"}));
    EXPECT_EQ(listing.entries.size(), 3);

    const files::OpenFolder open(folder);
    const files::Outcome<QByteArray> second = open.readFile(listing.encodedEntries.at(1));
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, QByteArray("second"));
    EXPECT_TRUE(open.remove(listing.encodedEntries.at(0)));
    EXPECT_EQ(open.listFiles().encodedEntries, (QList<QByteArray>{"a\xB5\xDA.mp4", "b.mp4"}));
}

TEST(FileListers, NamesReadAsQtDecodesThem)
{
    TempWorkspace ws;
    const QString folder = ws.makeFolder(QStringLiteral("m"));
    const QList<QByteArray> names{"\xE7\xAC\xAC"
                                  "1\xE9\x9B\x86.mp4",
                                  "\xC3\xA9t\xC3\xA9",
                                  "\xF0\x9F\x98\x80.mp4",
                                  "\xEF\xBB\xBF"
                                  "bom",
                                  "\xED\xA0\x80"
                                  "surrogate",
                                  "\xC0\xAF"
                                  "overlong",
                                  "\xE7\xAC"
                                  "cut",
                                  "\xF4\x90\x80\x80"
                                  "beyond"};
    for (const QByteArray &name : names)
        writeRawName(folder, name, "x");
    const files::Listing listing = files::listFiles(folder);
    ASSERT_EQ(listing.entries.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(listing.entries.at(i), QFile::decodeName(listing.encodedEntries.at(i))) << i;
}

TEST(FileWriter, ALongNameIsReplacedThroughAShortTemporaryName)
{
    TempWorkspace ws;
    // A name of 255 bytes, the most a file name may have: a temporary name
    // made by adding to it could not exist.
    const QString name = QString(250, u'n') + QStringLiteral(".html");
    ws.writeBytes(name, "old");
    const files::Outcome<void> written = files::writeFileAtomically(ws.path(name), "new");
    ASSERT_TRUE(written) << written.failure().text().toStdString();
    EXPECT_EQ(ws.readBytes(name), QByteArray("new"));

    const files::OpenFolder folder(ws.root());
    const files::Outcome<void> rewritten = folder.writeFile(files::OpenFolder::nameOf(name), "newer");
    ASSERT_TRUE(rewritten) << rewritten.failure().text().toStdString();
    EXPECT_EQ(ws.readBytes(name), QByteArray("newer"));
    EXPECT_EQ(allNames(ws.root()), QStringList{name});
}

TEST(FileWriter, UserFilesAreWrittenThroughLinksAndGeneratedFilesReplaceThem)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("elsewhere/List.ini"), "old list");
    ws.writeBytes(QStringLiteral("elsewhere/page.html"), "not ours");
    ws.makeFolder(QStringLiteral("w"));
    ASSERT_TRUE(
        QFile::link(ws.path(QStringLiteral("elsewhere/List.ini")), ws.path(QStringLiteral("w/List.ini"))));
    ASSERT_TRUE(
        QFile::link(ws.path(QStringLiteral("elsewhere/page.html")), ws.path(QStringLiteral("w/page.html"))));

    ASSERT_TRUE(files::writeFileAtomically(ws.path(QStringLiteral("w/List.ini")), "new list"));
    EXPECT_EQ(ws.readBytes(QStringLiteral("elsewhere/List.ini")), QByteArray("new list"));
    EXPECT_TRUE(QFileInfo(ws.path(QStringLiteral("w/List.ini"))).isSymLink());

    const files::OpenFolder folder(ws.path(QStringLiteral("w")));
    EXPECT_FALSE(folder.holdsSameBytes("page.html", "not ours")); // a link is never a copy
    ASSERT_TRUE(folder.writeFile("page.html", "page"));
    EXPECT_EQ(ws.readBytes(QStringLiteral("elsewhere/page.html")), QByteArray("not ours"));
    EXPECT_FALSE(QFileInfo(ws.path(QStringLiteral("w/page.html"))).isSymLink());
    EXPECT_EQ(ws.readBytes(QStringLiteral("w/page.html")), QByteArray("page"));
}

TEST(FileWriter, UserFilesAreSyncedOneByOneGeneratedFilesNot)
{
    TempWorkspace ws;
    const files::SyncCounts before = files::syncCounts();
    ASSERT_TRUE(files::writeFileAtomically(ws.path(QStringLiteral("a.ini")), "a"));
    ASSERT_TRUE(files::writeFileAtomically(ws.path(QStringLiteral("b.ini")), "b"));
    const files::OpenFolder folder(ws.root());
    ASSERT_TRUE(folder.writeFile("page.html", "page"));
    EXPECT_EQ(files::syncCounts().fileSyncs - before.fileSyncs, 2);
}

TEST(FileWriter, AWriteThatDoesNotFitKeepsTheOldFileAndSaysWhy)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("List.ini"), "twenty projects");
    const QString path = ws.path(QStringLiteral("List.ini"));
    const QByteArray longer(4000, 'x');
    const int result = tessaly::testing::inChildWithFileSizeLimit(1000, [&] {
        const files::Outcome<void> written = files::writeFileAtomically(path, longer);
        if (written)
            return 1;
        return written.failure().reason == QStringLiteral("文件过大") ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ws.readBytes(QStringLiteral("List.ini")), QByteArray("twenty projects"));
    EXPECT_EQ(allNames(ws.root()), QStringList{QStringLiteral("List.ini")});
}

TEST(FileWriter, AGeneratedFileThatDoesNotFitLeavesNeitherItNorTheOldOne)
{
    // A free name is written directly, an existing file through a temporary
    // one: after a failed write neither leaves part of the bytes behind.
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("old.html"), "old page");
    const int result = tessaly::testing::inChildWithFileSizeLimit(1000, [&] {
        const files::OpenFolder folder(ws.root());
        const files::Outcome<void> written = folder.writeFile("new.html", QByteArray(4000, 'x'));
        const files::Outcome<void> replaced = folder.writeFile("old.html", QByteArray(4000, 'x'));
        if (written || replaced)
            return 1;
        // Each failure names its own file.
        const bool named = written.failure().path == ws.path(QStringLiteral("new.html")) &&
                           replaced.failure().path == ws.path(QStringLiteral("old.html"));
        return named && written.failure().reason == QStringLiteral("文件过大") &&
                       replaced.failure().reason == written.failure().reason
                   ? 0
                   : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ws.readBytes(QStringLiteral("old.html")), QByteArray("old page"));
    EXPECT_EQ(allNames(ws.root()), QStringList{QStringLiteral("old.html")});
}

TEST(FileWriter, AFullDiskKeepsTheOldFileAndSaysSo)
{
    TempWorkspace ws;
    const QString disk = ws.makeFolder(QStringLiteral("disk"));
    const tessaly::testing::SmallTmpfs tmpfs(disk, 64 * 1024);
    if (!tmpfs.isMounted())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    ws.writeBytes(QStringLiteral("disk/List.ini"), "twenty projects");
    tmpfs.fill(QStringLiteral("filler"));
    const files::Outcome<void> written =
        files::writeFileAtomically(ws.path(QStringLiteral("disk/List.ini")), QByteArray(3000, 'x'));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().reason, QStringLiteral("磁盘空间不足"));
    EXPECT_EQ(ws.readBytes(QStringLiteral("disk/List.ini")), QByteArray("twenty projects"));
    EXPECT_EQ(allNames(disk), (QStringList{QStringLiteral("filler"), QStringLiteral("List.ini")}));
}
