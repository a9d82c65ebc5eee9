#include "catalogue/ProjectList.h"

#include "support/TempWorkspace.h"

#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

namespace {

QStringList names(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *name : list)
        result.append(QString::fromUtf8(name));
    return result;
}

class ProjectListFile : public ::testing::Test
{
protected:
    ProjectListFile() { ws.withFolders(); }
    QString file() const { return ws.workspace().listFile(); }
    QByteArray bytes() const { return ws.readBytes(QStringLiteral("Setting/List.ini")); }

    TempWorkspace ws;
    ProjectList list;
};

} // namespace

TEST_F(ProjectListFile, AnEmptyListIsSavedAsOneCrLfAndLoadsEmpty)
{
    ASSERT_TRUE(list.save(file()));
    EXPECT_EQ(bytes(), QByteArray("\r\n"));
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(list.size(), 0);
}

TEST_F(ProjectListFile, AMissingFileGivesAnEmptyList)
{
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Missing);
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(list.save(file()));
}

TEST_F(ProjectListFile, LoadSkipsEmptyLinesKeepsBlanksAndDuplicatesWhateverTheLineEnds)
{
    ws.writeBytes(QStringLiteral("Setting/List.ini"), QByteArray("A\r\n\r\n  \nB\rA\n\xd6\xd0"));
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(list.names(), names({"A", "  ", "B", "A", "中"}));
    ASSERT_TRUE(list.save(file()));
    EXPECT_EQ(bytes(), QByteArray("A\r\n  \r\nB\r\nA\r\n\xd6\xd0\r\n"));
}

TEST_F(ProjectListFile, AnUndecodableFileKeepsWhatItCouldReadAndIsNeverOverwritten)
{
    const QByteArray original("A\r\n\xff\xfe\r\nB\r\n");
    ws.writeBytes(QStringLiteral("Setting/List.ini"), original);
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Unreadable);
    EXPECT_EQ(list.names(), names({"A", "B"}));
    const files::Outcome<void> saved = list.save(file());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.failure().text(), file() + QStringLiteral("\r\n无法读取项目列表,列表将不会被保存!"));
    EXPECT_EQ(ProjectList::unreadableText(file()), saved.failure().text());
    EXPECT_EQ(bytes(), original);
}

TEST_F(ProjectListFile, AHundredThousandNamesRoundTrip)
{
    QStringList many;
    for (int i = 0; i < 100000; ++i)
        many.append(QStringLiteral("项目%1").arg(i));
    list.setNames(many);
    ASSERT_TRUE(list.save(file()));
    ProjectList again;
    EXPECT_EQ(again.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(again.names(), many);
}

TEST(ProjectListMoves, UpAndDownSwapNeighboursAndFollowTheMovedName)
{
    ProjectList list;
    list.setNames(names({"A", "B", "C"}));
    EXPECT_EQ(list.moveUp(1), 0);
    EXPECT_EQ(list.names(), names({"B", "A", "C"}));
    EXPECT_EQ(list.moveUp(0), 0);
    EXPECT_EQ(list.names(), names({"B", "A", "C"}));
    EXPECT_EQ(list.moveDown(1), 2);
    EXPECT_EQ(list.names(), names({"B", "C", "A"}));
    EXPECT_EQ(list.moveDown(2), 2);
}

TEST(ProjectListMoves, FirstAndLastMoveTheNameAcrossTheList)
{
    ProjectList list;
    list.setNames(names({"A", "B", "C", "D", "E"}));
    EXPECT_EQ(list.moveToFirst(3), 0);
    EXPECT_EQ(list.names(), names({"D", "A", "B", "C", "E"}));
    list.setNames(names({"A", "B", "C", "D", "E"}));
    EXPECT_EQ(list.moveToLast(0), 4);
    EXPECT_EQ(list.names(), names({"B", "C", "D", "E", "A"}));
    list.insertAtTop(QStringLiteral("N"));
    EXPECT_EQ(list.names().first(), QStringLiteral("N"));
}

TEST(ProjectListMoves, MoveToRowShiftsTheRowsBetweenAndStaysInTheList)
{
    ProjectList list;
    list.setNames(names({"A", "B", "C", "D"}));
    EXPECT_EQ(list.moveToRow(0, 2), 2);
    EXPECT_EQ(list.names(), names({"B", "C", "A", "D"}));
    EXPECT_EQ(list.moveToRow(3, 1), 1);
    EXPECT_EQ(list.names(), names({"B", "D", "C", "A"}));
    EXPECT_EQ(list.moveToRow(1, 99), 3);
    EXPECT_EQ(list.names(), names({"B", "C", "A", "D"}));
    EXPECT_EQ(list.moveToRow(2, -5), 0);
    EXPECT_EQ(list.names(), names({"A", "B", "C", "D"}));
    EXPECT_EQ(list.moveToRow(7, 0), 7);
    EXPECT_EQ(list.names(), names({"A", "B", "C", "D"}));
}

TEST(ProjectNamesInPaths, NamesThatWouldLeaveTheirFolderAreUnusable)
{
    // Dot-named files are hidden, and publishing passes hidden files by.
    for (const char *bad : {"a/b", "..", ".", "/", "..a", ".hidden"})
        EXPECT_FALSE(isUsableProjectName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(isUsableProjectName(QStringLiteral("a") + QChar(u'\0')));
    for (const char *good : {"电影", " 空格 ", "a:b", "a..", "内容"})
        EXPECT_TRUE(isUsableProjectName(QString::fromUtf8(good))) << good;
}

TEST(ProjectNamesInPaths, ReservedTooLongAndLinkBreakingNamesAreUnusable)
{
    for (const QString &bad :
         {QStringLiteral("List"), QStringLiteral("setting"), QString(251, u'a'), QString(84, u'中'),
          QStringLiteral("No#1"), QStringLiteral("Why?"), QStringLiteral("100%"), QStringLiteral("a\tb"),
          QString(QChar(0x85)), QStringLiteral("a\\b")})
        EXPECT_FALSE(isUsableProjectName(bad)) << bad.toStdString();
    // Escaped wherever they land in the pages.
    for (const QString &good :
         {QStringLiteral("<img src=x onerror=alert(1)>"), QStringLiteral("R&D \"1\""), QString(250, u'a')})
        EXPECT_TRUE(isUsableProjectName(good)) << good.toStdString();
}

TEST_F(ProjectListFile, AMarkedListReadsWithoutItsMarkAndIsSavedOnlyAsTextThatReadsBack)
{
    ws.writeBytes(QStringLiteral("Setting/List.ini"),
                  "\xEF\xBB\xBF" + QStringLiteral("鸟\r\nB\r\n").toUtf8());
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(list.names(), names({"鸟", "B"}));
    ASSERT_TRUE(list.save(file()));
    EXPECT_EQ(bytes(), QByteArray("\xC4\xF1\r\nB\r\n"));

    // Read from a UTF-8 file, but neither code page 936 nor GB18030 gives it back.
    const QByteArray marked = "\xEF\xBB\xBF" + QStringLiteral("䴗\r\n").toUtf8();
    ws.writeBytes(QStringLiteral("Setting/List.ini"), marked);
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    const files::Outcome<void> saved = list.save(file());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.failure(), (files::Failure{file(), QStringLiteral("文件中含有无法保存的字符!")}));
    EXPECT_EQ(bytes(), marked);
}

TEST_F(ProjectListFile, AListSavedAsUnmarkedUtf8IsSavedSoAgainAndACodePage936ListStaysCodePage936)
{
    const QByteArray utf8 = QStringLiteral("大话西游\r\n鲁迅\r\n").toUtf8();
    ws.writeBytes(QStringLiteral("Setting/List.ini"), utf8);
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(list.names(), names({"大话西游", "鲁迅"}));
    list.insertAtTop(QStringLiteral("唯一"));
    ASSERT_TRUE(list.save(file()));
    EXPECT_EQ(bytes(), QStringLiteral("唯一\r\n大话西游\r\n鲁迅\r\n").toUtf8());

    // "鲁迅" and "唯一" in code page 936 are valid UTF-8 of Latin, Greek and
    // Cyrillic letters.
    const QByteArray codePage936("\xC2\xB3\xD1\xB8\r\n\xCE\xA8\xD2\xBB\r\n");
    ws.writeBytes(QStringLiteral("Setting/List.ini"), codePage936);
    EXPECT_EQ(list.load(file()), ProjectList::LoadResult::Loaded);
    EXPECT_EQ(list.names(), names({"鲁迅", "唯一"}));
    ASSERT_TRUE(list.save(file()));
    EXPECT_EQ(bytes(), codePage936);
}
