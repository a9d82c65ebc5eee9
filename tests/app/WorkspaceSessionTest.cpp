#include "app/WorkspaceSession.h"

#include "files/TextFile.h"
#include "site/Progress.h"
#include "site/StyleValues.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Writes down each change it hears as "kind rows: names before -> names
// after", reading the session's list inside the change and after it.
class HeardChanges : public ProjectListObserver
{
public:
    explicit HeardChanges(const WorkspaceSession &session) : m_session(session) {}

    void beginInsertRow(int row) override { begin(QStringLiteral("insert %1").arg(row)); }
    void endInsertRow() override { end(); }
    void beginRemoveRow(int row) override { begin(QStringLiteral("remove %1").arg(row)); }
    void endRemoveRow() override { end(); }
    void beginMoveRow(int from, int to) override { begin(QStringLiteral("move %1 to %2").arg(from).arg(to)); }
    void endMoveRow() override { end(); }
    void rowChanged(int row) override { m_heard.append(QStringLiteral("changed %1: ").arg(row) + names()); }

    // What was heard since the last call.
    QStringList take() { return std::exchange(m_heard, {}); }

private:
    QString names() const { return m_session.projects().names().join(u','); }
    void begin(const QString &change) { m_pending = change + QStringLiteral(": ") + names(); }
    void end() { m_heard.append(m_pending + QStringLiteral(" -> ") + names()); }

    const WorkspaceSession &m_session;
    QString m_pending;
    QStringList m_heard;
};

class WorkspaceSessionTest : public ::testing::Test
{
protected:
    WorkspaceSession &open(const QStringList &names)
    {
        space.withFolders();
        space.writeList(names);
        session = std::make_unique<WorkspaceSession>(space.root());
        EXPECT_TRUE(session->open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
        heard = std::make_unique<HeardChanges>(*session);
        session->setObserver(heard.get());
        messages.clear();
        return *session;
    }

    QStringList everythingIn(const QString &folder) const
    {
        QStringList found;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(it.next());
        found.sort();
        return found;
    }

    TempWorkspace space;
    RecordingMessages messages;
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<HeardChanges> heard;
};

} // namespace

TEST_F(WorkspaceSessionTest, EachCommandIsHeardAsOneChangeOfItsRows)
{
    WorkspaceSession &s = open({"a", "b", "c", "d"});

    EXPECT_EQ(s.add(NewProject{QStringLiteral("n"), {}}).row, 0);
    EXPECT_EQ(heard->take(), QStringList{"insert 0: a,b,c,d -> n,a,b,c,d"});
    EXPECT_TRUE(s.remove(2).done());
    EXPECT_EQ(heard->take(), QStringList{"remove 2: n,a,b,c,d -> n,a,c,d"});
    EXPECT_EQ(s.move(3, WorkspaceSession::Move::ToFirst).row, 0);
    EXPECT_EQ(heard->take(), QStringList{"move 3 to 0: n,a,c,d -> d,n,a,c"});
    EXPECT_EQ(s.move(0, WorkspaceSession::Move::Down).row, 1);
    EXPECT_EQ(heard->take(), QStringList{"move 0 to 1: d,n,a,c -> n,d,a,c"});
    EXPECT_EQ(s.moveTo(1, 3).row, 3);
    EXPECT_EQ(heard->take(), QStringList{"move 1 to 3: n,d,a,c -> n,a,c,d"});
    EXPECT_EQ(s.rename(2, QStringLiteral("x")).row, 2);
    EXPECT_EQ(heard->take(), QStringList{"changed 2: n,a,x,d"});
    EXPECT_TRUE(s.rename(2, QStringLiteral("x")).done());
    EXPECT_FALSE(s.rename(2, QStringLiteral("a")).done());
    EXPECT_EQ(messages.last().text, QStringLiteral("该文件夹已经存在,请使用其他名称!"));
    EXPECT_TRUE(heard->take().isEmpty());
    s.rename(2, QStringLiteral("c"));
    heard->take();

    // A move that goes nowhere is not a change.
    EXPECT_TRUE(s.move(0, WorkspaceSession::Move::Up).done());
    EXPECT_TRUE(heard->take().isEmpty());
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("n\r\na\r\nc\r\nd\r\n"));
}

TEST_F(WorkspaceSessionTest, RowsOfTheSameNameAreToldApartByWhereTheCommandActed)
{
    WorkspaceSession &s = open({"a", "b", "c", "a"});
    EXPECT_EQ(s.move(3, WorkspaceSession::Move::ToFirst).row, 0);
    EXPECT_EQ(heard->take(), QStringList{"move 3 to 0: a,b,c,a -> a,a,b,c"});
    EXPECT_TRUE(s.remove(0).done());
    EXPECT_EQ(heard->take(), QStringList{"remove 0: a,a,b,c -> a,b,c"});
}

TEST_F(WorkspaceSessionTest, ACommandThatSavesNothingIsNotHeard)
{
    WorkspaceSession &s = open({"a", "b", "c"});
    EXPECT_EQ(s.add(NewProject{QStringLiteral("b"), {}}).status, CommandOutcome::Status::Refused);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("该文件夹已经存在,请使用其他名称!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);

    // The list file turns into a folder: no save can succeed.
    QFile::remove(space.path(QStringLiteral("Setting/List.ini")));
    space.makeFolder(QStringLiteral("Setting/List.ini/x"));
    messages.clear();
    EXPECT_EQ(s.add(NewProject{QStringLiteral("n"), {}}).status, CommandOutcome::Status::Failed);
    EXPECT_EQ(s.remove(1).status, CommandOutcome::Status::Failed);
    EXPECT_EQ(s.move(2, WorkspaceSession::Move::Up).status, CommandOutcome::Status::Failed);
    EXPECT_EQ(s.moveTo(0, 2).status, CommandOutcome::Status::Failed);

    EXPECT_TRUE(heard->take().isEmpty());
    EXPECT_EQ(s.projects().names(), (QStringList{"a", "b", "c"}));
    ASSERT_EQ(messages.texts().size(), 4);
    for (const Message &message : messages.messages()) {
        EXPECT_TRUE(message.text.startsWith(space.workspace().listFile() + QStringLiteral("\r\n")))
            << message.text.toStdString();
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }
}

TEST_F(WorkspaceSessionTest, OpeningToReadCreatesNothing)
{
    space.writeList({QStringLiteral("a")});
    const QStringList before = everythingIn(space.root());
    {
        WorkspaceSession reading(space.root());
        ASSERT_TRUE(reading.open(WorkspaceSession::Access::ReadOnly, WorkspaceSession::MissingFolder::Make));
        EXPECT_EQ(reading.projects().names(), QStringList{"a"});
    }
    EXPECT_EQ(everythingIn(space.root()), before);

    const QString absent = space.path(QStringLiteral("absent"));
    WorkspaceSession nowhere(absent);
    EXPECT_TRUE(nowhere.open(WorkspaceSession::Access::ReadOnly, WorkspaceSession::MissingFolder::Make));
    EXPECT_TRUE(nowhere.projects().names().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(absent));
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join(u'|').toStdString();
}

TEST_F(WorkspaceSessionTest, AMissingWorkspaceFolderIsMadeOnlyWhenAsked)
{
    const QString root = space.path(QStringLiteral("new/workspace"));
    {
        WorkspaceSession refusing(root);
        EXPECT_FALSE(
            refusing.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    }
    EXPECT_EQ(messages.texts(), QStringList{root + QStringLiteral("\r\n文件夹不存在!")});
    EXPECT_FALSE(QFileInfo::exists(space.path(QStringLiteral("new"))));

    WorkspaceSession making(root);
    EXPECT_TRUE(making.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Make));
    EXPECT_TRUE(QFileInfo(making.workspace().webImage()).isDir());
    EXPECT_TRUE(QFileInfo(making.workspace().lockFile()).exists());
}

TEST_F(WorkspaceSessionTest, AWorkspaceMadeFromNothingStartsWithTheDefaultStyleAndTheNewPageSet)
{
    // What "布局设计" saves for the defaults, in a workspace of its own.
    TempWorkspace saved;
    saved.withFolders();
    style_values::PageChoice modern;
    modern.pageSet = PageSet::Modern;
    ASSERT_TRUE(style_values::save(saved.workspace(), style_values::defaults(), modern));

    WorkspaceSession first(space.root());
    ASSERT_TRUE(first.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(space.readBytes(QStringLiteral("Style/Style.ini")),
              saved.readBytes(QStringLiteral("Style/Style.ini")));
    EXPECT_EQ(first.templates().failures.size(), 0);
}

TEST_F(WorkspaceSessionTest, AWorkspaceOpenedBeforeKeepsItsMissingStyleAndSaysHowToEndTheBox)
{
    space.withFolders();
    {
        WorkspaceSession session(space.root());
        ASSERT_TRUE(session.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    }
    EXPECT_FALSE(space.exists(QStringLiteral("Style/Style.ini")));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral(
                                    "布局设计文件不存在\r\n在 菜单 → 布局设计 中保存一次即可不再显示。")});
}

TEST_F(WorkspaceSessionTest, AnEpisodeFolderThatCannotBeRecordedSaysWhereAndWhy)
{
    WorkspaceSession &s = open({"a"});
    space.makeFolder(QStringLiteral("Setting/a.ini/x"));
    EXPECT_EQ(s.setEpisodeFolder(QStringLiteral("a"), space.path(QStringLiteral("m/a"))).status,
              CommandOutcome::Status::Failed);
    ASSERT_EQ(messages.texts().size(), 1);
    const QString prefix =
        space.workspace().projectSettingsFile(QStringLiteral("a")) + QStringLiteral("\r\n");
    EXPECT_TRUE(messages.texts().first().startsWith(prefix));
    EXPECT_GT(messages.texts().first().size(), prefix.size());
    EXPECT_TRUE(QFileInfo(space.path(QStringLiteral("Setting/a.ini"))).isDir());
}

TEST_F(WorkspaceSessionTest, ACoverFromAPictureThatCannotBeReadNamesThePictureAndKeepsTheOldCover)
{
    WorkspaceSession &s = open({"a"});
    space.writeBytes(QStringLiteral("Web/Image/a.jpg"), "old cover");
    const QString gone = space.path(QStringLiteral("pictures/gone.jpg"));
    EXPECT_EQ(s.setCover(QStringLiteral("a"), gone).status, CommandOutcome::Status::Failed);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(gone + QStringLiteral("\r\n")));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/a.jpg")), QByteArray("old cover"));
}

TEST_F(WorkspaceSessionTest, APreparedRunWorksOnTheListItWasGiven)
{
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        space.writeBytes(QStringLiteral("m/%1/1.mp4").arg(name), "video");
        space.writeText(QStringLiteral("Setting/%1.ini").arg(name),
                        QStringLiteral("[Setting]\r\nFile=") + space.path(QStringLiteral("m/") + name));
    }
    space.writeSiteSettings(space.path(QStringLiteral("m")), space.makeFolder(QStringLiteral("site")),
                            QString(), QStringLiteral("True"));
    WorkspaceSession &s = open({"甲", "乙"});
    ProgressLines lines;

    const std::optional<SiteRun> update = s.prepareUpdate(1);
    const std::optional<SiteRun> generation = s.prepareGeneration();
    ASSERT_TRUE(update && generation);
    ASSERT_TRUE(s.moveTo(1, 0).done());
    ASSERT_TRUE(s.add(NewProject{QStringLiteral("丙"), {}}).done());

    // The update still publishes the project that was selected, now row 2.
    EXPECT_TRUE(update->run(lines).succeeded());
    EXPECT_TRUE(lines.texts().contains(QStringLiteral("站点 - 乙页面更新完成")));
    EXPECT_FALSE(space.exists(QStringLiteral("site/Data/甲.html")));

    lines.beginWholeSiteRun();
    EXPECT_TRUE(generation->run(lines).succeeded());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/丙.html")));
    EXPECT_FALSE(lines.texts().join(u'\n').contains(QStringLiteral("丙")));
    const QStringList texts = lines.texts();
    EXPECT_LT(texts.indexOf(QStringLiteral("正在生成甲...")), texts.indexOf(QStringLiteral("正在生成乙...")));
}
