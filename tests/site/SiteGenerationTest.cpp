#include "files/Reasons.h"
#include "files/TextFile.h"
#include "site/BuiltinTemplates.h"
#include "site/DefaultCover.h"
#include "site/PageValues.h"
#include "site/SiteFixture.h"
#include "site/StyleValues.h"
#include "support/Permissions.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class Generation : public SiteTest
{
protected:
    QStringList texts() const { return lines.texts(); }
    QString cell(const QString &name, const QString &count) const
    {
        return builtin::plainCoverCell()
            .replace(QStringLiteral("[[Title]]"), name)
            .replace(QStringLiteral("[[Number]]"), count);
    }
};

// A file whose name is these bytes, which need not be valid UTF-8.
void writeRawName(const QString &folder, const QByteArray &name)
{
    const int fd = ::open((QFile::encodeName(folder) + '/' + name).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
}

} // namespace

// The pages of a small site, as a browser gets them, are the expected files
// byte for byte: the plain look without a style file, then the styled look
// of the default style.
TEST_F(Generation, WritesThePagesOfTheExampleByteForByte)
{
    space.writeSiteSettings(space.path(QStringLiteral("Movies/")));
    addProject(QStringLiteral("Series A"), QStringLiteral("Movies/Series A"),
               {QStringLiteral("b.mp4"), QStringLiteral("A.mp4"), QStringLiteral("c.txt")});
    // Four covers make a second row of three.
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("b & c"), QStringLiteral("d")})
        addProject(name, QStringLiteral("Movies/") + name, {QStringLiteral("01.mp4")});
    const auto expected = [](const char *name) {
        QFile file(QStringLiteral(TESSALY_TEST_DATA "/pages/") + QString::fromUtf8(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return file.readAll();
    };

    EXPECT_TRUE(generate().succeeded());
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/Series A.html")), expected("Series A.html"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/index.html")), expected("index.html"));

    ASSERT_TRUE(style_values::save(space.workspace(), style_values::defaults()));
    EXPECT_TRUE(generate().succeeded());
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/Series A.html")), expected("Series A.html"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/index.html")), expected("styled index.html"));
}

TEST_F(Generation, ReportsEveryStepAndLogsTheLines)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("1.mp4")});
    projects.setNames(projects.names() + QStringList{QStringLiteral("乙")}); // no settings file
    space.writeBytes(QStringLiteral("Web/Image/乙.jpg"), "cover");
    const RunOutcome outcome = generate();
    ASSERT_TRUE(outcome.succeeded());

    const QString folder = space.path(QStringLiteral("m/甲"));
    const QStringList expected = {
        QStringLiteral("读取页面格式文件..."),
        QStringLiteral("清空缓存数据..."),
        QStringLiteral("读取甲文件路径..."),
        QStringLiteral("文件路径:") + folder + QStringLiteral("..."),
        QStringLiteral("处理封面图片..."),
        QStringLiteral("处理剧集数据..."),
        QStringLiteral("正在生成甲..."),
        // A stand-in episode is noted, not counted as an error.
        QStringLiteral("1.mp4: 无法识别的视频文件 (无法读取)"),
        QStringLiteral("主页内容处理..."),
        QStringLiteral("影片甲播放页面内容生成..."),
        QStringLiteral("读取乙文件路径..."),
        QStringLiteral("文件路径:..."),
        QStringLiteral("处理封面图片..."),
        QStringLiteral("处理剧集数据..."),
        QStringLiteral("主页内容处理..."),
        QStringLiteral("影片乙播放页面内容生成..."),
        QStringLiteral("主页面内容生成..."),
        QStringLiteral("生成网站成功..."),
    };
    EXPECT_EQ(texts(), expected);
    EXPECT_EQ(lines.lines().at(7).icon, ProgressIcon::Failure);
    const QList<ProgressIcon> icons = {ProgressIcon::Opening,    ProgressIcon::Step, ProgressIcon::Step,
                                       ProgressIcon::Opening,    ProgressIcon::Step, ProgressIcon::Step,
                                       ProgressIcon::EpisodeList};
    for (qsizetype i = 0; i < icons.size(); ++i)
        EXPECT_EQ(lines.lines().at(i).icon, icons.at(i)) << i;
    EXPECT_EQ(lines.lines().last().icon, ProgressIcon::Done);

    EXPECT_EQ(space.readBytes(logName()), text::encode(expected.join(QStringLiteral("\r\n"))) + "\r\n");
    ASSERT_EQ(messages.texts(),
              QStringList{QStringLiteral(
                  "生成网站成功!\r\n\r\n有 1 集在浏览器中可能无法正常播放,可用“转换为网页格式”处理。")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
    EXPECT_EQ(messages.last().title, QStringLiteral("提示"));

    // The project without settings does not inherit the first one's episodes.
    const QString second = text(QStringLiteral("Web/Data/乙.html"));
    EXPECT_TRUE(second.contains(QStringLiteral("<source src=\"../movie/\" type")));
    EXPECT_FALSE(second.contains(QStringLiteral("scr1")));
    EXPECT_TRUE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral("共  集")));
}

TEST_F(Generation, BreaksRowsAfterEveryNthCell)
{
    for (const QString &name :
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")})
        addProject(name, QStringLiteral("m/") + name);
    generate();
    const QString rowBreak = builtin::rowBreak();
    QString index = builtin::plainIndexPage();
    index.replace(QStringLiteral("[[Text]]"), QStringList{cell(QStringLiteral("a"), QStringLiteral("0")),
                                                          cell(QStringLiteral("b"), QStringLiteral("0")),
                                                          cell(QStringLiteral("c"), QStringLiteral("0")) +
                                                              QStringLiteral("\r\n") + rowBreak,
                                                          cell(QStringLiteral("d"), QStringLiteral("0"))}
                                                  .join(QStringLiteral("\r\n")));
    EXPECT_EQ(text(QStringLiteral("Web/index.html")), index + QStringLiteral("\r\n"));

    space.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nLinecontent=0\r\nCoverwidth=1\r\nCoverheight=1"));
    generate();
    EXPECT_FALSE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral("</tr>\r\n  <tr")));
}

// The index page is written as its cells come, yet it is one text file: a
// name that code page 936 cannot carry makes the whole page GB18030, the
// cells before it too ("€" differs between the two).
TEST_F(Generation, AnIndexPageWithANameOutsideCodePage936IsGb18030Throughout)
{
    addProject(QStringLiteral("€ 一"), QStringLiteral("m/1"));
    addProject(QStringLiteral("한국"), QStringLiteral("m/2"));
    generate();
    const QByteArray bytes = space.readBytes(QStringLiteral("Web/index.html"));
    const std::optional<QString> page = text::decode(bytes);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->contains(cell(QStringLiteral("€ 一"), QStringLiteral("0"))));
    EXPECT_TRUE(page->contains(cell(QStringLiteral("한국"), QStringLiteral("0"))));
    EXPECT_EQ(bytes, text::fileBytes(page->chopped(2)));
}

TEST_F(Generation, EmptiesTheCacheButKeepsCoversAndHiddenFiles)
{
    space.writeBytes(QStringLiteral("Web/Data/Gone.html"), "old");
    space.writeBytes(QStringLiteral("Web/Data/.keep"), "hidden");
    space.writeBytes(QStringLiteral("Web/Image/Gone.jpg"), "old cover");
    addProject(QStringLiteral("Kept"), QStringLiteral("m/k"));
    generate();
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/Gone.html")));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/.keep")));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Image/Gone.jpg")));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/Kept.jpg")), QByteArray("cover of Kept"));
}

TEST_F(Generation, WritesTheDefaultCoverOnlyWhereNoneIs)
{
    if (defaultCoverBytes().isEmpty())
        GTEST_SKIP() << "the default cover resource is not in this build";
    projects.setNames({QStringLiteral("Bare")});
    generate();
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/Bare.jpg")), defaultCoverBytes());
    EXPECT_TRUE(failureLines().isEmpty());
}

TEST_F(Generation, ARunKilledWhileWritingADefaultCoverLeavesNoPartOfItBehind)
{
    // Covers stay from run to run: a cover cut off by a killed run (here by
    // the file size limit's signal) and kept under its name would be taken
    // for the project's own by every later run.
    if (defaultCoverBytes().isEmpty())
        GTEST_SKIP() << "the default cover resource is not in this build";
    projects.setNames({QStringLiteral("Bare")});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit fileSize{};
        ::getrlimit(RLIMIT_FSIZE, &fileSize);
        fileSize.rlim_cur = rlim_t(defaultCoverBytes().size() / 2);
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        generate();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    ASSERT_TRUE(WIFSIGNALED(status));

    generate();
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/Bare.jpg")), defaultCoverBytes());
}

namespace {

// The cover an earlier version wrote for projects without one, kept beside
// this file as it was shipped.
QByteArray earlierDefaultCover()
{
    QFile file(QStringLiteral(TESSALY_TEST_DATA "/EarlierDefaultCover.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(Generation, ReplacesACoverThatIsAnEarlierBuiltInOneAndNoOther)
{
    const QByteArray earlier = earlierDefaultCover();
    ASSERT_FALSE(earlier.isEmpty());
    QByteArray touched = earlier;
    touched[touched.size() / 2] = char(touched[touched.size() / 2] ^ 1);
    space.writeBytes(QStringLiteral("Web/Image/Old.jpg"), earlier);
    space.writeBytes(QStringLiteral("Web/Image/Own.jpg"), touched);
    projects.setNames({QStringLiteral("Old"), QStringLiteral("Own")});

    generate();

    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/Old.jpg")), defaultCoverBytes());
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/Own.jpg")), touched);
    EXPECT_TRUE(isBuiltinDefaultCover(earlier));
    EXPECT_TRUE(isBuiltinDefaultCover(defaultCoverBytes()));
    EXPECT_FALSE(isBuiltinDefaultCover(touched));
    EXPECT_FALSE(isBuiltinDefaultCover(QByteArray()));
}

TEST_F(Generation, WithAnEmptyListSaysSoAndTouchesNothing)
{
    space.writeBytes(QStringLiteral("Web/index.html"), "old index");
    space.writeBytes(QStringLiteral("Web/Data/x.html"), "old page");
    const RunOutcome outcome = generate();
    EXPECT_TRUE(outcome.refused);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有内容!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_TRUE(lines.lines().isEmpty());
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/index.html")), QByteArray("old index"));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/x.html")));
    EXPECT_TRUE(QDir(space.path(QStringLiteral("Log"))).isEmpty());
}

TEST_F(Generation, TakesTheMovieRootOnlyFromTheStartOfTheFolder)
{
    space.writeSiteSettings(QStringLiteral("/srv/m"));
    const struct
    {
        const char *folder;
        const char *relative;
    } cases[] = {
        {"/srv/m/A", "/A"},           {"/srv/m", ""},           {"/srv/mx/A", "/srv/mx/A"},
        {"/x/srv/m/A", "/x/srv/m/A"}, {"/srv/m/a\\b", "/a\\b"},
    };
    for (const auto &c : cases) {
        projects.setNames({QStringLiteral("P")});
        setFolder(QStringLiteral("P"), QString::fromUtf8(c.folder));
        lines.beginWholeSiteRun();
        generate();
        EXPECT_EQ(texts().at(3), QStringLiteral("文件路径:%1...").arg(QString::fromUtf8(c.relative)))
            << c.folder;
    }
    space.writeSiteSettings(QStringLiteral("/"));
    setFolder(QStringLiteral("P"), QStringLiteral("/srv/m/A"));
    generate();
    EXPECT_EQ(texts().at(3), QStringLiteral("文件路径:/srv/m/A..."));
}

TEST_F(Generation, EscapesNamesSoEveryEpisodeOfAPageWorks)
{
    space.writeSiteSettings(space.path(QStringLiteral("m")));
    addProject(QStringLiteral("Tom's & <b>"), QStringLiteral("m/A&B"),
               {QStringLiteral("it's.mp4"), QStringLiteral("a#b<c>.mp4"), QStringLiteral("x\\\"y%.mp4"),
                QStringLiteral("中文 1.mp4")});
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    const QString page = text(QStringLiteral("Web/Data/Tom's & <b>.html"));
    EXPECT_TRUE(page.contains(QStringLiteral("<title>Tom's &amp; &lt;b&gt;</title>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<source src=\"../movie/A%26B/a%23b%3Cc%3E.mp4\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("myVid.src=\"../movie/A%26B/it\\'s.mp4\";")));
    EXPECT_TRUE(page.contains(QStringLiteral("innerHTML = 'Tom\\'s &amp; &lt;b&gt; it\\'s';")));
    EXPECT_TRUE(page.contains(QStringLiteral("myVid.src=\"../movie/A%26B/x%5C%22y%25.mp4\";")));
    EXPECT_TRUE(page.contains(QStringLiteral("innerHTML = 'Tom\\'s &amp; &lt;b&gt; x\\\\&quot;y%';")));
    EXPECT_TRUE(page.contains(QStringLiteral("myVid.src=\"../movie/A%26B/中文 1.mp4\";")));
    EXPECT_TRUE(page.contains(QStringLiteral("type=\"button\">a#b&lt;c&gt;</button>")));
    EXPECT_TRUE(page.contains(QStringLiteral("innerHTML = 'Tom\\'s &amp; &lt;b&gt; a#b&lt;c&gt;';")));
}

TEST_F(Generation, HandEditedNamesReachThePagesEscapedOrAreSkipped)
{
    const QString hostile = QStringLiteral("<img src=x onerror=alert(1)>");
    addProject(hostile, QStringLiteral("m/h"), {QStringLiteral("1.mp4")});
    projects.setNames({hostile, QStringLiteral("a#b"), QStringLiteral("List"), QString(251, u'x')});
    checkNoVideos();
    generate();
    const QString escaped = QStringLiteral("&lt;img src=x onerror=alert(1)&gt;");
    EXPECT_EQ(text(QStringLiteral("Web/index.html")).count(escaped),
              builtin::plainCoverCell().count(QStringLiteral("[[Title]]")))
        << "links, picture and text alike";
    EXPECT_FALSE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral("<img src=x")));
    EXPECT_TRUE(text(QStringLiteral("Web/Data/") + hostile + QStringLiteral(".html"))
                    .contains(QStringLiteral("<title>") + escaped + QStringLiteral("</title>")));
    EXPECT_EQ(
        failureLines().mid(0, 3),
        (QStringList{QStringLiteral("无法使用的项目名称: a#b"), QStringLiteral("无法使用的项目名称: List"),
                     QStringLiteral("无法使用的项目名称: ") + QString(251, u'x')}));
}

// A series as people keep it: subtitles and a poster beside the videos,
// numbers that are not padded.
TEST_F(Generation, EpisodesAreTheVideoAndSoundFilesInTheOrderOneCountsThem)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"),
               {QStringLiteral("第10集.mp4"), QStringLiteral("第2集.MKV"), QStringLiteral("第1集.mp4"),
                QStringLiteral("第1集.srt"), QStringLiteral("第2集.ass"), QStringLiteral("poster.jpg"),
                QStringLiteral("README"), QStringLiteral("第11集.part.flac"), QStringLiteral("desktop.ini")});
    const auto buttons = [this] {
        QStringList names;
        static const QRegularExpression button(
            QStringLiteral("onclick=\"scr[0-9]+\\(\\)\"[^>]*>([^<>]*)</button>"));
        for (const QRegularExpressionMatch &match :
             button.globalMatch(text(QStringLiteral("Web/Data/P.html"))))
            names.append(match.captured(1));
        return names;
    };

    generate();
    EXPECT_EQ(buttons(), (QStringList{QStringLiteral("第1集"), QStringLiteral("第2集"),
                                      QStringLiteral("第10集"), QStringLiteral("第11集.part")}));
    EXPECT_TRUE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral("共 4 集")));
    const QString page = text(QStringLiteral("Web/Data/P.html"));
    EXPECT_TRUE(page.contains(QStringLiteral("<source src=\"../movie") +
                              page::urlPathPiece(space.path(QStringLiteral("m/p"))) + u'/' +
                              page::fileNameUrlPiece(QByteArrayLiteral("第1集.mp4"))));
    EXPECT_TRUE(page.contains(QStringLiteral("function scr4(){")));
    EXPECT_FALSE(page.contains(QStringLiteral("function scr5(){")));

    // "False" keeps the text order, and the other files stay out still.
    space.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nNaturalOrder=False"));
    generate();
    EXPECT_EQ(buttons(), (QStringList{QStringLiteral("第10集"), QStringLiteral("第11集.part"),
                                      QStringLiteral("第1集"), QStringLiteral("第2集")}));
}

// A disk not mounted, a share gone: said and counted, and the page already
// made stays, so no empty player is published over a good one.
TEST_F(Generation, AProjectWhoseFolderIsGoneIsSkippedAndKeepsItsPage)
{
    addProject(QStringLiteral("a"), QStringLiteral("m/a"), {QStringLiteral("1.mp4")});
    addProject(QStringLiteral("b"), QStringLiteral("m/b"), {QStringLiteral("1.mp4")});
    addProject(QStringLiteral("c"), QStringLiteral("m/c"), {QStringLiteral("1.mp4")});
    addProject(QStringLiteral("unset"), QStringLiteral("m/unset"));
    setFolder(QStringLiteral("unset"), QString());
    ASSERT_TRUE(generate().succeeded());
    const QByteArray pageOfB = space.readBytes(QStringLiteral("Web/Data/b.html"));
    const QByteArray pageOfC = space.readBytes(QStringLiteral("Web/Data/c.html"));
    QDir(space.path(QStringLiteral("m/b"))).removeRecursively();
    QDir(space.path(QStringLiteral("m/c"))).removeRecursively();
    space.writeBytes(QStringLiteral("m/c"), "a file where the folder was");

    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 2);
    for (const auto &[name, reason] : {std::pair{"b", "文件夹不存在"}, {"c", "不是文件夹"}}) {
        const QString failure = QStringLiteral("无法读取 ") +
                                space.path(QStringLiteral("m/") + QLatin1String(name)) +
                                QStringLiteral(": ") + QString::fromUtf8(reason);
        const qsizetype at = texts().indexOf(failure);
        ASSERT_GT(at, 0) << name;
        EXPECT_EQ(texts().at(at - 1), QStringLiteral("处理剧集数据..."));
        EXPECT_TRUE(texts().at(at + 1).startsWith(QStringLiteral("读取"))) << name;
    }
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), pageOfB);
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/c.html")), pageOfC);
    // No cells for b and c, and they do not count towards the row break.
    QString index = builtin::plainIndexPage();
    index.replace(QStringLiteral("[[Text]]"), QStringList{cell(QStringLiteral("a"), QStringLiteral("1")),
                                                          cell(QStringLiteral("unset"), QString())}
                                                  .join(QStringLiteral("\r\n")));
    EXPECT_EQ(text(QStringLiteral("Web/index.html")), index + QStringLiteral("\r\n"));

    // The update of b skips it alike, keeping its page and its published copy.
    EXPECT_EQ(update(1).errors, 2);
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), pageOfB);
}

TEST_F(Generation, CountsLargeAndHiddenOnlyFolders)
{
    const QString big = addProject(QStringLiteral("Big"), QStringLiteral("m/big"));
    for (int i = 0; i < 10000; ++i)
        QFile(big + QStringLiteral("/e%1.mp4").arg(i, 5, 10, QLatin1Char('0'))).open(QIODevice::WriteOnly);
    addProject(QStringLiteral("Hidden"), QStringLiteral("m/hidden"),
               {QStringLiteral(".a.mp4"), QStringLiteral(".b")});
    generate();
    const QString index = text(QStringLiteral("Web/index.html"));
    EXPECT_TRUE(index.contains(QStringLiteral("共 10000 集")));
    EXPECT_TRUE(index.contains(QStringLiteral("共 0 集")));
    EXPECT_TRUE(text(QStringLiteral("Web/Data/Big.html")).contains(QStringLiteral("function scr10000(){")));
    EXPECT_TRUE(texts().contains(QStringLiteral("正在生成Hidden...")));
}

TEST_F(Generation, SkipsUnusableNamesWithAFailureLineAndClosesWithTheErrorCount)
{
    addProject(QStringLiteral("Good"), QStringLiteral("m/good"));
    // A dot-named page would be hidden, and never published.
    addProject(QStringLiteral(".hidden"), QStringLiteral("m/hidden"));
    projects.setNames(
        {QStringLiteral("../evil"), QStringLiteral("Good"), QStringLiteral(".."), QStringLiteral(".hidden")});
    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 3);
    EXPECT_EQ(failureLines(), (QStringList{QStringLiteral("无法使用的项目名称: ../evil"),
                                           QStringLiteral("无法使用的项目名称: .."),
                                           QStringLiteral("无法使用的项目名称: .hidden"),
                                           QStringLiteral("生成网站完成,共 3 个错误...")}));
    EXPECT_EQ(texts().at(2), QStringLiteral("读取../evil文件路径..."));
    EXPECT_EQ(texts().last(), QStringLiteral("生成网站完成,共 3 个错误..."));
    EXPECT_EQ(lines.lines().last().icon, ProgressIcon::Failure);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("生成网站完成,共 3 个错误...")});
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/.hidden.html")));
    EXPECT_FALSE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral(".hidden")));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_FALSE(space.exists(QStringLiteral("evil.html")));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/Good.html")));
}

TEST_F(Generation, ReportsPagesThatCannotBeWritten)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    // A folder where the page should go: no write succeeds, not even as root.
    space.makeFolder(QStringLiteral("Web/index.html"));
    space.makeFolder(QStringLiteral("Web/Data/P.html"));
    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 2);
    const QStringList failures = failureLines();
    ASSERT_EQ(failures.size(), 3);
    EXPECT_TRUE(failures.at(0).startsWith(
        QStringLiteral("无法写入 ") + space.path(QStringLiteral("Web/Data/P.html")) + QStringLiteral(": ")));
    EXPECT_TRUE(failures.at(1).startsWith(QStringLiteral("无法写入 ") +
                                          space.path(QStringLiteral("Web/index.html"))));
    EXPECT_EQ(texts().at(texts().indexOf(failures.at(0)) - 1), QStringLiteral("影片P播放页面内容生成..."));
    EXPECT_EQ(texts().at(texts().indexOf(failures.at(1)) - 1), QStringLiteral("主页面内容生成..."));
}

TEST_F(Generation, ReportsAnUnwritableLogInTheClosingBox)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    QDir(space.path(QStringLiteral("Log"))).removeRecursively();
    space.writeBytes(QStringLiteral("Log"), "a file, not a folder");
    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 0);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(texts().last(), QStringLiteral("生成网站成功..."));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("生成网站成功!\r\n\r\n无法写入 ") +
                                                space.path(QStringLiteral("Log/20261207142305.log: "))));
}

PERMISSION_TEST_F(Generation, ReportsAnEpisodeFolderThatCannotBeListed)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    const QString folder = addProject(QStringLiteral("P"), QStringLiteral("m/p"), {QStringLiteral("1.mp4")});
    QFile::setPermissions(folder, QFileDevice::WriteOwner);
    const RunOutcome outcome = generate();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(outcome.errors, 1);
    ASSERT_FALSE(failureLines().isEmpty());
    EXPECT_TRUE(failureLines().at(0).startsWith(QStringLiteral("无法读取 ") + folder));
    EXPECT_EQ(texts().at(texts().indexOf(failureLines().at(0)) - 1), QStringLiteral("处理剧集数据..."));
}

TEST_F(Generation, ASecondRunInTheSameSecondReplacesTheLog)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    generate();
    const QByteArray first = space.readBytes(logName());
    projects.setNames({QStringLiteral("P"), QStringLiteral("Q")});
    space.writeBytes(QStringLiteral("Web/Image/Q.jpg"), "q");
    generate();
    EXPECT_NE(space.readBytes(logName()), first);
    EXPECT_TRUE(space.readBytes(logName()).startsWith("\xB6\xC1")); // 读 in code page 936
    EXPECT_EQ(QDir(space.path(QStringLiteral("Log"))).entryList(QDir::Files).size(), 1);
}

TEST_F(Generation, AnOutputDataFolderThatIsAFileIsReportedOnce)
{
    addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    QDir(space.path(QStringLiteral("Web/Data"))).removeRecursively();
    space.writeBytes(QStringLiteral("Web/Data"), "not a folder");
    const RunOutcome outcome = generate();
    const QStringList failures = failureLines();
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(
        failures.at(0).startsWith(QStringLiteral("无法写入 ") + space.path(QStringLiteral("Web/Data: "))));
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data")), QByteArray("not a folder"));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/index.html")));
}

// Bytes no text encoding the program reads can decode.
static const QByteArray Undecodable("[Setting]\r\nFile=\xFF\r\n");

TEST_F(Generation, AFileEveryPageNeedsThatCannotBeDecodedEndsTheRunBeforeAnythingChanges)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("1.mp4")});
    space.writeSiteSettings(space.path(QStringLiteral("m")));
    space.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nLinecontent=3\r\nCoverwidth=185\r\nCoverheight=250"));
    ASSERT_TRUE(generate().succeeded());
    const QByteArray page = space.readBytes(QStringLiteral("Web/Data/甲.html"));
    const QByteArray index = space.readBytes(QStringLiteral("Web/index.html"));

    for (const QString &file :
         {QStringLiteral("Style/PageStyle.html"), QStringLiteral("Style/FunctionStyle.html"),
          QStringLiteral("Style/Style.ini"), QStringLiteral("Setting/Setting.ini")}) {
        const QByteArray good = space.readBytes(file);
        space.writeBytes(file, Undecodable);
        const RunOutcome outcome = generate();
        space.writeBytes(file, good);

        EXPECT_FALSE(outcome.succeeded()) << file.toStdString();
        EXPECT_EQ(texts(), (QStringList{QStringLiteral("读取页面格式文件..."),
                                        QStringLiteral("无法读取 ") + space.path(file) +
                                            QStringLiteral(": 无法识别的文字编码"),
                                        QStringLiteral("生成网站完成,共 1 个错误...")}));
        EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/甲.html")), page) << file.toStdString();
        EXPECT_EQ(space.readBytes(QStringLiteral("Web/index.html")), index) << file.toStdString();
    }

    // A list that was not read whole would clear pages of projects it lost.
    space.writeBytes(QStringLiteral("Setting/List.ini"), "\xFF\xFF\r\n\xBC\xD7\r\n");
    projects.load(space.workspace().listFile());
    generate();
    EXPECT_EQ(texts().at(1), QStringLiteral("无法读取 ") + space.workspace().listFile() +
                                 QStringLiteral(": 无法识别的文字编码"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/甲.html")), page);
}

TEST_F(Generation, AProjectWhoseSettingsCannotBeReadIsSkippedAndKeepsItsPage)
{
    for (const QString &name :
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")})
        addProject(name, QStringLiteral("m/") + name);
    space.writeBytes(QStringLiteral("Web/Data/b.html"), "the page b had");
    space.writeBytes(QStringLiteral("Setting/b.ini"), Undecodable);

    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 1);
    const qsizetype at = texts().indexOf(QStringLiteral("读取b文件路径..."));
    ASSERT_GT(at, 0);
    EXPECT_EQ(texts().at(at + 1), QStringLiteral("无法读取 ") + space.path(QStringLiteral("Setting/b.ini")) +
                                      QStringLiteral(": 无法识别的文字编码"));
    EXPECT_EQ(texts().at(at + 2), QStringLiteral("读取c文件路径..."));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), "the page b had");
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Image/b.jpg")));
    // No cell for b, and b does not count towards the row break.
    QString index = builtin::plainIndexPage();
    index.replace(QStringLiteral("[[Text]]"), QStringList{cell(QStringLiteral("a"), QStringLiteral("0")),
                                                          cell(QStringLiteral("c"), QStringLiteral("0")),
                                                          cell(QStringLiteral("d"), QStringLiteral("0")) +
                                                              QStringLiteral("\r\n") + builtin::rowBreak()}
                                                  .join(QStringLiteral("\r\n")));
    EXPECT_EQ(text(QStringLiteral("Web/index.html")), index + QStringLiteral("\r\n"));

    // The update skips it the same way, and does not delete its page either.
    EXPECT_EQ(update(1).errors, 1);
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), "the page b had");
}

TEST_F(Generation, AnUpdateEndsLikewiseAfterTheLinesItFound)
{
    addProject(QStringLiteral("甲"), QStringLiteral("m/甲"), {QStringLiteral("1.mp4")});
    ASSERT_TRUE(generate().succeeded());
    const QByteArray page = space.readBytes(QStringLiteral("Web/Data/甲.html"));
    const qsizetype before = texts().size();
    space.writeBytes(QStringLiteral("Style/ButtonStyle.html"), Undecodable);

    EXPECT_FALSE(update(0).succeeded());
    EXPECT_EQ(texts().mid(before), (QStringList{QStringLiteral("读取页面格式文件..."),
                                                QStringLiteral("无法读取 ") +
                                                    space.path(QStringLiteral("Style/ButtonStyle.html")) +
                                                    QStringLiteral(": 无法识别的文字编码"),
                                                QStringLiteral("更新本集内容完成,共 1 个错误!")}));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/甲.html")), page);
}

PERMISSION_TEST_F(Generation, AProjectSettingsFileThatCannotBeOpenedGivesTheSystemsReason)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    addProject(QStringLiteral("a"), QStringLiteral("m/a"));
    const QString settings = space.path(QStringLiteral("Setting/a.ini"));
    ASSERT_TRUE(QFile::setPermissions(settings, QFileDevice::Permissions()));
    generate();
    EXPECT_EQ(failureLines().first(),
              QStringLiteral("无法读取 ") + settings + QStringLiteral(": ") + files::reasonFor(EACCES));
}

TEST_F(Generation, NamesThatAreNotUtf8AreLinkedAndCleanedUpByTheirBytes)
{
    // Files copied from a code page 936 disk: 第 is B5 DA there.
    space.writeSiteSettings(space.path(QStringLiteral("m")));
    const QString folder = addProject(QStringLiteral("P"), QStringLiteral("m/p"));
    writeRawName(folder, "\xB5\xDA"
                         "1 #.mp4");
    writeRawName(space.path(QStringLiteral("Web/Data")), "old\xB5\xDA.html");
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();
    const QString page = text(QStringLiteral("Web/Data/P.html"));
    EXPECT_TRUE(page.contains(QStringLiteral("<source src=\"../movie/p/%B5%DA1 %23.mp4\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("myVid.src=\"../movie/p/%B5%DA1 %23.mp4\";")));
    EXPECT_EQ(QDir(space.path(QStringLiteral("Web/Data"))).entryList(QDir::Files),
              QStringList{QStringLiteral("P.html")});
}

TEST_F(Generation, AStopAskedDuringAProjectFinishesItLogsTheStopAndShowsNoBox)
{
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})
        addProject(name, QStringLiteral("m/") + name, {QStringLiteral("1.mp4")});
    space.writeBytes(QStringLiteral("Web/index.html"), "old index");
    std::atomic<bool> stop{false};
    // The window is closed while the second project is under way.
    ProgressLines stopping([&stop](const ProgressLine &line) {
        if (line.text == QStringLiteral("读取乙文件路径..."))
            stop = true;
    });
    const RunOutcome outcome = runSite(std::nullopt, {}, &stopping, &stop);

    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_FALSE(outcome.box);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/乙.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/丙.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/index.html"))); // cleared, never rewritten
    const QStringList texts = stopping.texts();
    EXPECT_EQ(texts.at(texts.size() - 2), QStringLiteral("影片乙播放页面内容生成..."));
    EXPECT_EQ(texts.last(), QStringLiteral("生成网站已中止..."));
    EXPECT_EQ(stopping.lines().last().icon, ProgressIcon::Failure);
    EXPECT_EQ(space.readBytes(logName()), text::encode(texts.join(QStringLiteral("\r\n"))) + "\r\n");
}

TEST_F(Generation, AnEpisodeFolderHoldingAControlCharacterIsCountedAndSkippedAndKeepsItsPage)
{
    addProject(QStringLiteral("a"), QStringLiteral("m/a"), {QStringLiteral("1.mp4")});
    const QString show = addProject(QStringLiteral("b"), QStringLiteral("m/Show"), {QStringLiteral("1.mp4")});
    const QString hostile = show + QChar(u'\0') + QStringLiteral("/../../x");
    setFolder(QStringLiteral("b"), hostile);
    space.writeBytes(QStringLiteral("Web/Data/b.html"), "the page b had");

    checkNoVideos();
    const RunOutcome outcome = generate();
    EXPECT_EQ(outcome.errors, 1);
    EXPECT_EQ(failureLines(), (QStringList{QStringLiteral("无法使用的剧集文件夹: ") + hostile,
                                           QStringLiteral("生成网站完成,共 1 个错误...")}));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), "the page b had");
    EXPECT_FALSE(text(QStringLiteral("Web/index.html")).contains(QStringLiteral("Data/b.html")));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/a.html")));

    EXPECT_EQ(update(1).errors, 1);
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/b.html")), "the page b had");
}
