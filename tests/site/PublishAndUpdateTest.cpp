#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "site/OutputFolders.h"
#include "site/PublishedRecord.h"
#include "site/SiteFixture.h"
#include "site/SitePublisher.h"
#include "support/FullDisk.h"
#include "support/Permissions.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class Publishing : public SiteTest
{
protected:
    // Three projects, the site folder `site` published with WebUpdate "True".
    void threeProjects(const QString &webUpdate = QStringLiteral("True"))
    {
        site = space.makeFolder(QStringLiteral("site"));
        space.writeSiteSettings(space.path(QStringLiteral("m")), site, QString(), webUpdate);
        for (const QString &name : {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")})
            addProject(name, QStringLiteral("m/") + name, {QStringLiteral("1.mp4")});
    }
    QStringList publishLines() const
    {
        const QStringList all = lines.texts();
        return all.mid(all.indexOf(QStringLiteral("更新站点内容...")));
    }
    QString site;
};

} // namespace

TEST_F(Publishing, MirrorsTheOutputFolderAndRemovesStalePagesButNotHiddenFiles)
{
    threeProjects();
    // Published before, by a project since removed (its settings file stays).
    space.writeBytes(QStringLiteral("site/Data/removed.html"), "stale");
    space.writeText(QStringLiteral("Setting/removed.ini"), QStringLiteral("[Setting]\r\nFile="));
    space.writeBytes(QStringLiteral("site/Data/.htaccess"), "hidden");
    space.writeBytes(QStringLiteral("site/movie/keep.mp4"), "video");
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    EXPECT_EQ(publishLines(),
              (QStringList{QStringLiteral("更新站点内容..."), QStringLiteral("站点连接成功...开始更新"),
                           QStringLiteral("主页更新完成"), QStringLiteral("清空播放页内容"),
                           QStringLiteral("清空封面图片内容"), QStringLiteral("播放页内容更新"),
                           QStringLiteral("封面内容更新"), QStringLiteral("站点内容更新完成"),
                           QStringLiteral("生成网站成功...")}));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/index.html")),
              space.readBytes(QStringLiteral("Web/index.html")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")),
              space.readBytes(QStringLiteral("Web/Data/two.html")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/three.jpg")), QByteArray("cover of three"));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Data/removed.html")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/.htaccess")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/movie/keep.mp4")));
}

TEST_F(Publishing, ASecondPublishWithNothingChangedRewritesNoFile)
{
    threeProjects();
    generate();
    const QString page = space.path(QStringLiteral("site/Data/one.html"));
    const QDateTime written = QFileInfo(page).lastModified();
    {
        // Marked old, so a rewrite would show as a newer time.
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(file.setFileTime(written.addSecs(-100), QFileDevice::FileModificationTime));
    }
    generate();
    EXPECT_EQ(QFileInfo(page).lastModified(), written.addSecs(-100));
}

TEST_F(Publishing, OnlyTheExactWordTruePublishes)
{
    threeProjects(QStringLiteral("true"));
    generate();
    EXPECT_EQ(publishLines(),
              (QStringList{QStringLiteral("更新站点内容..."), QStringLiteral("生成网站成功...")}));
    EXPECT_TRUE(QDir(site).isEmpty());
}

TEST_F(Publishing, AMissingOrFileSiteFolderOrTheOutputFolderItselfIsNotConnected)
{
    threeProjects();
    space.writeBytes(QStringLiteral("notafolder"), "file");
    for (const QString &target :
         {space.path(QStringLiteral("missing")), space.path(QStringLiteral("notafolder")), QString(),
          space.path(QStringLiteral("Web")), space.path(QStringLiteral("Web/"))}) {
        space.writeSiteSettings(space.path(QStringLiteral("m")), target, QString(), QStringLiteral("True"));
        lines.beginWholeSiteRun();
        const RunOutcome outcome = generate();
        EXPECT_TRUE(outcome.succeeded()) << target.toStdString();
        EXPECT_EQ(publishLines(), (QStringList{QStringLiteral("更新站点内容..."),
                                               QStringLiteral("站点路径连接失败...无法更新"),
                                               QStringLiteral("生成网站成功...")}))
            << target.toStdString();
    }
    EXPECT_FALSE(space.exists(QStringLiteral("missing")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Web")));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/index.html")));
}

TEST_F(Publishing, ASiteFolderEndingWithASeparatorGetsSingleSeparators)
{
    threeProjects();
    space.writeSiteSettings(space.path(QStringLiteral("m")), site + QStringLiteral("/"), QString(),
                            QStringLiteral("True"));
    ASSERT_TRUE(generate().succeeded());
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/one.html")));
}

TEST_F(Publishing, ACopyThatFailsIsReportedAndLeavesTheRestPublished)
{
    threeProjects();
    space.makeFolder(QStringLiteral("site/Data/two.html")); // a folder where a page should go
    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 1);
    const QStringList published = publishLines();
    const qsizetype failure = published.indexOf(QRegularExpression(QStringLiteral("^无法复制 .*")));
    ASSERT_GT(failure, 0);
    EXPECT_EQ(published.at(failure - 1), QStringLiteral("播放页内容更新"));
    EXPECT_TRUE(published.at(failure).startsWith(
        QStringLiteral("无法复制 ") + space.path(QStringLiteral("Web/Data/two.html")) +
        QStringLiteral(" -> ") + site + QStringLiteral("/Data/two.html: ")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/one.html")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/three.html")));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("生成网站完成,共 1 个错误...")});
}

TEST_F(Publishing, WithoutSettingIniThereIsNoPublishStep)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    generate();
    EXPECT_EQ(lines.texts().mid(lines.texts().size() - 2),
              (QStringList{QStringLiteral("主页面内容生成..."), QStringLiteral("生成网站成功...")}));
}

TEST_F(Publishing, UpdateRewritesEveryPageButPublishesOnlyTheSelectedProject)
{
    threeProjects();
    generate();
    space.writeBytes(QStringLiteral("site/index.html"), "site index");
    space.writeBytes(QStringLiteral("site/Data/stale.html"), "stale");
    space.writeBytes(QStringLiteral("site/Data/one.html"), "old one");
    space.writeBytes(QStringLiteral("site/Data/two.html"), "old two");
    space.writeBytes(QStringLiteral("Web/Data/three.html"), "local edit");
    space.writeBytes(QStringLiteral("Web/Image/two.jpg"), "new cover");
    space.writeBytes(QStringLiteral("Web/Data/.tessaly-Xy34Zw"), "left by a crash");
    const QByteArray index = space.readBytes(QStringLiteral("Web/index.html"));
    messages.clear();
    lines.beginWholeSiteRun();

    ASSERT_TRUE(update(1).succeeded());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/.tessaly-Xy34Zw")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/index.html")), QByteArray("site index"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/stale.html")), QByteArray("stale"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/one.html")), QByteArray("old one"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")),
              space.readBytes(QStringLiteral("Web/Data/two.html")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/two.jpg")), QByteArray("new cover"));
    EXPECT_NE(space.readBytes(QStringLiteral("Web/Data/three.html")), QByteArray("local edit"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/index.html")), index);

    const QStringList texts = lines.texts();
    EXPECT_EQ(texts.mid(0, 3),
              (QStringList{QStringLiteral("读取页面格式文件..."), QStringLiteral("清理缓存数据..."),
                           QStringLiteral("读取one文件路径...")}));
    EXPECT_FALSE(texts.contains(QStringLiteral("主页内容处理...")));
    EXPECT_FALSE(texts.contains(QStringLiteral("正在生成one...")));
    EXPECT_EQ(texts.mid(texts.size() - 6),
              (QStringList{QStringLiteral("更新站点内容..."), QStringLiteral("站点连接成功...开始更新"),
                           QStringLiteral("播放页内容更新"), QStringLiteral("封面内容更新"),
                           QStringLiteral("站点 - two页面更新完成"), QStringLiteral("更新本集内容成功!")}));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("更新本集内容成功!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
}

TEST_F(Publishing, TwoUpdatesInARowLogTheFirstRunsLinesAgain)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    update(0);
    const QByteArray first = space.readBytes(logName());
    clock = clock.addSecs(1);
    update(0);
    const QByteArray second = space.readBytes(QStringLiteral("Log/20261207142306.log"));
    EXPECT_TRUE(second.startsWith(first));
    EXPECT_EQ(second.size(), first.size() * 2);
}

TEST_F(Publishing, UpdateRefusals)
{
    update(0); // empty list: nothing at all
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(lines.lines().isEmpty());

    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    const RunOutcome outcome = update(-1);
    EXPECT_TRUE(outcome.refused);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有内容!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/P.html")));

    // A selected name that cannot be a file name: refused before any page
    // is written, with no line of a run.
    messages.clear();
    projects.setNames({QStringLiteral("P"), QStringLiteral(".hidden")});
    EXPECT_TRUE(update(1).refused);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("无法使用的项目名称: .hidden")});
    EXPECT_TRUE(lines.lines().isEmpty());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/P.html")));
}

TEST_F(Publishing, UpdateWithErrorsSaysHowMany)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    projects.setNames({QStringLiteral("P"), QStringLiteral("a/b")});
    const RunOutcome outcome = update(0);
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(lines.texts().last(), QStringLiteral("更新本集内容完成,共 1 个错误!"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("更新本集内容完成,共 1 个错误!")});
}

PERMISSION_TEST_F(Publishing, AReadOnlySiteFolderIsReportedAndKeepsItsFiles)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    threeProjects();
    // The page of a removed project, which the publish would remove.
    space.writeBytes(QStringLiteral("site/Data/old.html"), "old");
    space.writeText(QStringLiteral("Setting/old.ini"), QStringLiteral("[Setting]\r\nFile="));
    QFile::setPermissions(site + QStringLiteral("/Data"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const RunOutcome outcome = generate();
    QFile::setPermissions(site + QStringLiteral("/Data"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_GE(outcome.errors, 4); // three copies and one delete
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/old.html")));
}

TEST_F(Publishing, NeverWritesOrRemovesThroughLinksOutOfTheSiteFolder)
{
    threeProjects();
    // An index page of the program's, as far as its links tell.
    const QByteArray secret = R"(<a href="Data/secret.html">secret</a>)";
    space.writeBytes(QStringLiteral("outside/secret.txt"), secret);
    space.writeBytes(QStringLiteral("outside/pages/mine.html"), "someone else's");
    ASSERT_TRUE(
        QFile::link(space.path(QStringLiteral("outside/secret.txt")), site + QStringLiteral("/index.html")));
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("outside/pages")), site + QStringLiteral("/Data")));

    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(failureLines().first(),
              QStringLiteral("无法写入 ") + site + QStringLiteral("/Data: 链接指向站点文件夹以外"));
    EXPECT_EQ(space.readBytes(QStringLiteral("outside/secret.txt")), secret);
    EXPECT_EQ(QDir(space.path(QStringLiteral("outside/pages"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("mine.html")});
    // The link where the index page goes is replaced by the page itself.
    EXPECT_FALSE(QFileInfo(site + QStringLiteral("/index.html")).isSymLink());
    EXPECT_EQ(space.readBytes(QStringLiteral("site/index.html")),
              space.readBytes(QStringLiteral("Web/index.html")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/one.jpg")), QByteArray("cover of one"));
}

TEST_F(Publishing, ImageLinkedToDataIsRefusedSoNeitherPrunesTheOther)
{
    threeProjects();
    QDir(site + QStringLiteral("/Image")).removeRecursively();
    ASSERT_TRUE(QFile::link(QStringLiteral("Data"), site + QStringLiteral("/Image")));

    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(failureLines().first(),
              QStringLiteral("无法写入 ") + site + QStringLiteral("/Image: 与 Data 是同一个文件夹"));
    EXPECT_EQ(
        QDir(site + QStringLiteral("/Data")).entryList(QDir::Files),
        (QStringList{QStringLiteral("one.html"), QStringLiteral("three.html"), QStringLiteral("two.html")}));
}

TEST_F(Publishing, SyncsOnceForTheOutputAndOnceForTheSiteAndClearsLeftTemporaryFiles)
{
    threeProjects();
    generate();
    space.writeBytes(QStringLiteral("m/two/2.mp4"), "new episode");
    space.writeBytes(QStringLiteral("site/Data/.tessaly-Ab12Cd"), "left by a crash");
    space.writeBytes(QStringLiteral("Web/Data/.tessaly-Xy34Zw"), "left by a crash");
    space.writeBytes(QStringLiteral("Log/.tessaly-Lg56Uv"), "left by a crash");
    const files::SyncCounts before = files::syncCounts();
    ASSERT_TRUE(generate().succeeded());
    const files::SyncCounts after = files::syncCounts();
    EXPECT_EQ(after.fileSystemSyncs - before.fileSystemSyncs, 2);
    EXPECT_EQ(after.fileSyncs - before.fileSyncs, 1); // the run log alone
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")),
              space.readBytes(QStringLiteral("Web/Data/two.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Data/.tessaly-Ab12Cd")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/.tessaly-Xy34Zw")));
    EXPECT_FALSE(space.exists(QStringLiteral("Log/.tessaly-Lg56Uv")));
}

TEST_F(Publishing, AFullDiskIsAFailureAndKeepsThePublishedFiles)
{
    threeProjects();
    ASSERT_TRUE(generate().succeeded());
    const QByteArray page = space.readBytes(QStringLiteral("site/Data/two.html"));
    space.writeBytes(QStringLiteral("Web/Image/one.jpg"), QByteArray(8000, 'c'));
    for (int i = 2; i < 100; ++i)
        space.writeBytes(QStringLiteral("m/two/%1.mp4").arg(i), "episode");
    // The other pages and the run log fit; the new cover and the longer
    // page do not.
    const int errors = inChildWithFileSizeLimit(6000, [this] { return generate().errors; });
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/one.jpg")), QByteArray("cover of one"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")), page);
    EXPECT_EQ(QDir(site + QStringLiteral("/Image")).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(Publishing, AFullSiteDiskIsReportedWithItsReason)
{
    threeProjects();
    const SmallTmpfs disk(site, 256 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    ASSERT_TRUE(generate().succeeded());
    disk.fill(QStringLiteral("filler"));
    space.writeBytes(QStringLiteral("Web/Image/two.jpg"), QByteArray(20000, 'c'));
    lines.beginWholeSiteRun();
    EXPECT_EQ(generate().errors, 1);
    EXPECT_EQ(failureLines().first(),
              QStringLiteral("无法复制 ") + space.path(QStringLiteral("Web/Image/two.jpg")) +
                  QStringLiteral(" -> ") + site + QStringLiteral("/Image/two.jpg: 磁盘空间不足"));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/two.jpg")), QByteArray("cover of two"));
}

TEST_F(Publishing, AnOutputFolderLinkedElsewhereIsNeitherWrittenNorPublished)
{
    threeProjects();
    ASSERT_TRUE(generate().succeeded());
    space.writeBytes(QStringLiteral("outside/keep.html"), "someone else's");
    QDir(space.path(QStringLiteral("Web/Data"))).removeRecursively();
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("outside")), space.path(QStringLiteral("Web/Data"))));

    EXPECT_EQ(generate().errors, 1);
    EXPECT_EQ(failureLines().first(), QStringLiteral("无法写入 ") + space.path(QStringLiteral("Web/Data")) +
                                          QStringLiteral(": 链接指向输出文件夹以外"));
    EXPECT_EQ(QDir(space.path(QStringLiteral("outside"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.html")});
    EXPECT_EQ(
        QDir(site + QStringLiteral("/Data")).entryList(QDir::Files | QDir::Hidden),
        (QStringList{QStringLiteral("one.html"), QStringLiteral("three.html"), QStringLiteral("two.html")}));
}

TEST_F(Publishing, AnUpdateOfAProjectWhoseSettingsCannotBeReadLeavesItsPublishedCopy)
{
    threeProjects();
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    const QByteArray published = space.readBytes(QStringLiteral("site/Data/two.html"));
    space.writeBytes(QStringLiteral("Setting/two.ini"), "[Setting]\r\nFile=\xFF\r\n");
    QFile::remove(space.path(QStringLiteral("Web/Data/two.html")));

    EXPECT_EQ(update(1).errors, 1) << failureLines().join(u'\n').toStdString();
    EXPECT_EQ(lines.texts().count(QStringLiteral("更新站点内容...")), 1)
        << "only the whole-site run published";
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")), published);
}

namespace {

// A site folder that already held the user's own files when the program
// first published into it.
class SafePublishing : public Publishing
{
protected:
    void usersFiles()
    {
        site = space.makeFolder(QStringLiteral("site"));
        space.writeBytes(QStringLiteral("site/Data/notes.txt"), "mine");
        space.writeBytes(QStringLiteral("site/Image/family.jpg"), "mine");
    }
    QSet<QByteArray> record() const
    {
        return published::read(files::OpenFolder(site)).value_or(QSet<QByteArray>{});
    }
    QStringList filesIn(const QString &folder) const
    {
        return QDir(site + u'/' + folder).entryList(QDir::Files | QDir::System);
    }
    QString strangersLine(int count) const
    {
        return QStringLiteral("站点文件夹中有 %1 个文件不是本程序发布的,未删除").arg(count);
    }
    void expectUsersFilesKept() const
    {
        EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/notes.txt")), QByteArray("mine"));
        EXPECT_EQ(space.readBytes(QStringLiteral("site/Image/family.jpg")), QByteArray("mine"));
    }
};

} // namespace

TEST_F(SafePublishing, FilesItNeverPublishedStayAndAreCountedOnceButNotAsErrors)
{
    threeProjects();
    usersFiles();
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    expectUsersFilesKept();
    EXPECT_EQ(failureLines(), QStringList{strangersLine(2)});
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("生成网站成功!")});
    const QString log = text(logName());
    EXPECT_TRUE(log.contains(site + QStringLiteral("/Data/notes.txt")));
    EXPECT_TRUE(log.contains(site + QStringLiteral("/Image/family.jpg")));
    EXPECT_EQ(record(), (QSet<QByteArray>{"index.html", "Data/one.html", "Data/two.html", "Data/three.html",
                                          "Image/one.jpg", "Image/two.jpg", "Image/three.jpg"}));

    // A removed project keeps its settings file; its published files go,
    // because the record names them, and the user's stay.
    projects.setNames({QStringLiteral("one"), QStringLiteral("three")});
    QFile::remove(space.path(QStringLiteral("Web/Image/two.jpg")));
    space.writeBytes(QStringLiteral("site/Data/later.html"), "mine too");
    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(filesIn(QStringLiteral("Data")),
              (QStringList{QStringLiteral("later.html"), QStringLiteral("notes.txt"),
                           QStringLiteral("one.html"), QStringLiteral("three.html")}));
    EXPECT_EQ(
        filesIn(QStringLiteral("Image")),
        (QStringList{QStringLiteral("family.jpg"), QStringLiteral("one.jpg"), QStringLiteral("three.jpg")}));
    EXPECT_FALSE(record().contains("Data/two.html"));
}

TEST_F(SafePublishing, WithoutARecordOnlyPagesAndCoversOfProjectsWithSettingsGoOnce)
{
    threeProjects();
    usersFiles();
    space.writeText(QStringLiteral("Setting/gone.ini"), QStringLiteral("[Setting]\r\nFile="));
    space.writeBytes(QStringLiteral("site/Data/gone.html"), "stale page");
    space.writeBytes(QStringLiteral("site/Image/gone.jpg"), "stale cover");
    space.writeBytes(QStringLiteral("site/Data/gone.jpg"), "not a page");
    space.writeBytes(QStringLiteral("site/Data/other.html"), "no settings file");
    ASSERT_TRUE(generate().succeeded());
    EXPECT_FALSE(space.exists(QStringLiteral("site/Data/gone.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Image/gone.jpg")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/gone.jpg")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/other.html")));
    expectUsersFilesKept();
    EXPECT_EQ(failureLines(), QStringList{strangersLine(4)});

    // With a record, a stray page of a project with settings is a stranger.
    space.writeBytes(QStringLiteral("site/Data/gone.html"), "put back by the user");
    lines.beginWholeSiteRun();
    ASSERT_TRUE(generate().succeeded());
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/gone.html")));
    EXPECT_EQ(failureLines(), QStringList{strangersLine(5)});
}

TEST_F(SafePublishing, AHostileRecordRemovesNothingItDoesNotName)
{
    threeProjects();
    usersFiles();
    ASSERT_TRUE(generate().succeeded());
    space.writeBytes(QStringLiteral("outside.txt"), "outside");
    space.writeBytes(QStringLiteral("site/keep.txt"), "mine");
    space.writeBytes(QStringLiteral("site/Data/.htaccess"), "mine");
    space.writeBytes(QStringLiteral("site/Image/a\x01b.jpg"), "mine");
    space.makeFolder(QStringLiteral("site/Video"));
    ASSERT_TRUE(
        QFile::link(space.path(QStringLiteral("outside.txt")), site + QStringLiteral("/Video/clip.mp4")));
    ASSERT_TRUE(
        QFile::link(space.path(QStringLiteral("outside.txt")), site + QStringLiteral("/Data/link.html")));
    const QByteArray entries[] = {"../outside.txt",  "/tmp/outside.txt",  "Data/../../outside.txt",
                                  "Data/",           "Data//notes.txt",   "./Data/notes.txt",
                                  "keep.txt",        "Data/.htaccess",    "Image/a\x01b.jpg",
                                  "Data\\notes.txt", "Image/family.jpg/", "Video/clip.mp4",
                                  "Data/link.html"};
    QByteArray hostile = "tessaly published files 1\n";
    for (const QByteArray &entry : entries)
        hostile += entry + '\n';
    hostile += "end\n";
    space.writeBytes(QStringLiteral("site/.tessaly-published"), hostile);

    ASSERT_TRUE(generate().succeeded());
    EXPECT_EQ(space.readBytes(QStringLiteral("outside.txt")), QByteArray("outside"));
    EXPECT_TRUE(space.exists(QStringLiteral("site/keep.txt")));
    EXPECT_TRUE(space.exists(QStringLiteral("site/Data/.htaccess")));
    EXPECT_TRUE(QFileInfo(site + QStringLiteral("/Image/a\x01b.jpg")).exists());
    expectUsersFilesKept();
    // A link the record names is the program's: it goes, what it leads to
    // stays. A web copy of no project's episode goes too.
    EXPECT_FALSE(QFileInfo(site + QStringLiteral("/Data/link.html")).isSymLink());
    EXPECT_FALSE(QFileInfo(site + QStringLiteral("/Video/clip.mp4")).isSymLink());
    for (const QByteArray &entry : entries)
        EXPECT_FALSE(record().contains(entry)) << entry.data();
}

TEST_F(SafePublishing, ADamagedRecordIsNoRecord)
{
    threeProjects();
    usersFiles();
    space.writeBytes(QStringLiteral("site/.tessaly-published"),
                     "tessaly published files 1\nData/notes.txt\nImage/family.jpg\n");
    ASSERT_TRUE(generate().succeeded());
    expectUsersFilesKept();
    EXPECT_FALSE(record().contains("Data/notes.txt"));
}

TEST_F(SafePublishing, SomeoneElsesIndexPageIsNotOverwritten)
{
    threeProjects();
    space.writeBytes(QStringLiteral("site/index.html"), "<html><body>Welcome to the server</body></html>");
    for (int run = 0; run < 2; ++run) {
        lines.beginWholeSiteRun();
        EXPECT_EQ(generate().errors, 1);
        EXPECT_EQ(failureLines().first(),
                  QStringLiteral("站点文件夹中已有不是本程序生成的 index.html,未覆盖: ") + site +
                      QStringLiteral("/index.html"));
        EXPECT_FALSE(publishLines().contains(QStringLiteral("主页更新完成")));
        EXPECT_FALSE(publishLines().contains(QStringLiteral("站点内容更新完成")));
        EXPECT_EQ(space.readBytes(QStringLiteral("site/index.html")),
                  QByteArray("<html><body>Welcome to the server</body></html>"));
        EXPECT_TRUE(space.exists(QStringLiteral("site/Data/two.html")));
    }
}

TEST_F(SafePublishing, AKillAtAnyStepLeavesNoPublishedFileTheRecordDoesNotName)
{
    threeProjects();
    usersFiles();
    ASSERT_TRUE(generate().succeeded());
    // The next run adds a project, changes one page and drops a project.
    addProject(QStringLiteral("four"), QStringLiteral("m/four"), {QStringLiteral("1.mp4")});
    space.writeBytes(QStringLiteral("m/two/2.mp4"), "new episode");
    projects.setNames({QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("four")});
    QFile::remove(space.path(QStringLiteral("Web/Image/one.jpg")));
    space.writeSiteSettings(space.path(QStringLiteral("m")), site, QString(), QStringLiteral("False"));
    ASSERT_TRUE(generate().succeeded());
    space.writeSiteSettings(space.path(QStringLiteral("m")), site, QString(), QStringLiteral("True"));
    const QString before = space.path(QStringLiteral("before"));
    const auto copyTree = [](const QString &from, const QString &to) {
        std::filesystem::copy(from.toStdString(), to.toStdString(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
    };
    copyTree(site, before);

    const QStringList users{QStringLiteral("Data/notes.txt"), QStringLiteral("Image/family.jpg")};
    int completed = 0;
    for (int kill = 1; completed == 0 && kill < 100; ++kill) {
        QDir(site).removeRecursively();
        copyTree(before, site);
        const int status = inChild([this, kill] {
            ProgressLines quiet;
            RunReport report(quiet);
            const OutputFolders output(space.workspace(), report);
            SitePublisher publisher(space.workspace(), report);
            int step = 0;
            publisher.setCheckpoint([&step, kill] {
                if (++step == kill)
                    ::_exit(7);
            });
            publisher.publishWholeSite(output);
            return 0;
        });
        ASSERT_TRUE(status == 0 || status == 7) << status;
        completed = status == 0 ? kill : 0;
        const QSet<QByteArray> named = record();
        for (const QString &folder : {QStringLiteral("Data"), QStringLiteral("Image")}) {
            for (const QString &file : filesIn(folder)) {
                const QString entry = folder + u'/' + file;
                EXPECT_TRUE(users.contains(entry) || named.contains(entry.toUtf8()))
                    << "killed at step " << kill << ": " << entry.toStdString();
            }
        }
        expectUsersFilesKept();
    }
    ASSERT_GT(completed, 5) << "every rename and removal is a step";
    EXPECT_FALSE(space.exists(QStringLiteral("site/Data/one.html")));
    EXPECT_EQ(space.readBytes(QStringLiteral("site/Data/two.html")),
              space.readBytes(QStringLiteral("Web/Data/two.html")));
}

TEST_F(SafePublishing, AStepRefusedPrintsNoSuccessLineAndTheBarEndsFull)
{
    struct Bar : ProgressLines
    {
        void progress(int d, int t) override { done = d, total = t; }
        int done = 0;
        int total = -1;
    } bar;
    threeProjects();
    space.writeBytes(QStringLiteral("outside/pages/mine.html"), "someone else's");
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("outside/pages")), site + QStringLiteral("/Data")));
    EXPECT_EQ(runSite(std::nullopt, {}, &bar).errors, 1);
    const QStringList texts = bar.texts();
    for (const char *success : {"清空播放页内容", "播放页内容更新", "站点内容更新完成"})
        EXPECT_FALSE(texts.contains(QString::fromUtf8(success))) << success;
    EXPECT_TRUE(texts.contains(QStringLiteral("封面内容更新")));
    EXPECT_EQ(bar.done, bar.total);
}
