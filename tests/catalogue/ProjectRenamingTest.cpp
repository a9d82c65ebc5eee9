#include "catalogue/ProjectRenaming.h"

#include "catalogue/ProjectList.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tessaly;
using tessaly::testing::RecordingMessages;
using tessaly::testing::TempWorkspace;

namespace {

const QString Old = QStringLiteral("旧片");
const QString New = QStringLiteral("新片");

QStringList filesOf(const QString &name)
{
    return {QStringLiteral("Setting/%1.ini").arg(name), QStringLiteral("Web/Data/%1.html").arg(name),
            QStringLiteral("Web/Image/%1.jpg").arg(name)};
}

class ProjectRenamingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ws.withFolders();
        for (const QString &file : filesOf(Old))
            ws.writeBytes(file, file.toUtf8());
        ws.writeList({QStringLiteral("甲"), Old});
        projects.load(ws.workspace().listFile());
    }

    ProjectRenaming rename(const QString &newName, const std::function<void()> &afterEachStep = {})
    {
        return renameProject(ws.workspace(), projects, 1, newName, afterEachStep);
    }

    QStringList listed() const
    {
        ProjectList list;
        list.load(ws.workspace().listFile());
        return list.names();
    }

    // Every file of the workspace's project folders, hidden ones too.
    QStringList everything() const
    {
        QStringList found;
        for (const char *folder : {"Setting", "Web/Data", "Web/Image"}) {
            const QStringList names =
                QDir(ws.path(QLatin1String(folder))).entryList(QDir::Files | QDir::Hidden | QDir::System);
            for (const QString &name : names)
                found.append(QLatin1String(folder) + u'/' + name);
        }
        found.sort();
        return found;
    }

    // The project is whole under `name`: listed, and its three files under
    // that name with the bytes they had.
    void expectWholeUnder(const QString &name) const
    {
        EXPECT_EQ(listed(), QStringList({QStringLiteral("甲"), name}));
        for (qsizetype i = 0; i < 3; ++i)
            EXPECT_EQ(ws.readBytes(filesOf(name).at(i)), filesOf(Old).at(i).toUtf8()) << name.toStdString();
    }
    // ... and nowhere else.
    void expectWholeUnder(const QString &name, const QString &other) const
    {
        expectWholeUnder(name);
        for (const QString &file : filesOf(other))
            EXPECT_FALSE(ws.exists(file)) << file.toStdString();
    }

    TempWorkspace ws;
    ProjectList projects;
    RecordingMessages messages;
};

} // namespace

TEST_F(ProjectRenamingTest, TheRowAndEveryFileTakeTheNewName)
{
    const QStringList before = everything();

    const ProjectRenaming renaming = rename(New);

    EXPECT_EQ(renaming.result, RenameResult::Renamed);
    EXPECT_EQ(projects.names(), QStringList({QStringLiteral("甲"), New}));
    expectWholeUnder(New, Old);
    QStringList expected = before;
    expected.replaceInStrings(Old, New);
    expected.sort();
    EXPECT_EQ(everything(), expected); // no temporary name left
    EXPECT_TRUE(renaming.failures.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ProjectRenamingTest, OnlyTheFilesThereAreRenamedAndANameChangingOnlyCaseIsAllowed)
{
    QFile::remove(ws.path(filesOf(Old).at(1)));
    ws.writeList({QStringLiteral("甲"), QStringLiteral("tv")});
    projects.load(ws.workspace().listFile());
    ws.writeBytes(QStringLiteral("Web/Image/tv.jpg"), "cover");

    EXPECT_EQ(rename(QStringLiteral("TV")).result, RenameResult::Renamed);

    EXPECT_EQ(listed(), QStringList({QStringLiteral("甲"), QStringLiteral("TV")}));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Image/TV.jpg")), "cover");
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Image/tv.jpg")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Data/TV.html")));
}

TEST_F(ProjectRenamingTest, RefusalsChangeNothing)
{
    const QStringList before = everything();
    // Each refusal in the new project dialog's words, and nothing said for
    // the name it has already.
    for (const QString &same : {Old, QString()}) {
        const ProjectRenaming renaming = rename(same);
        EXPECT_EQ(renaming.result, same.isEmpty() ? RenameResult::Ignored : RenameResult::Unchanged);
        EXPECT_TRUE(renaming.failures.isEmpty());
    }
    const auto refusal = [this](const QString &newName) {
        const ProjectRenaming renaming = rename(newName);
        EXPECT_EQ(renaming.result, RenameResult::Refused) << newName.toStdString();
        return renaming.failureText();
    };
    EXPECT_EQ(refusal(QStringLiteral("a/b:c")), QStringLiteral("非法名称,数据中不能含有   /   字符!"));
    EXPECT_EQ(refusal(QStringLiteral("甲")), QStringLiteral("该文件夹已经存在,请使用其他名称!"));
    EXPECT_EQ(refusal(QStringLiteral(".hidden")), QStringLiteral("非法名称,名称不能以.开头!"));

    // A file of the new name left by a deleted project, or a folder of that
    // name: never replaced.
    ws.writeBytes(QStringLiteral("Web/Image/%1.jpg").arg(New), "old cover");
    EXPECT_EQ(refusal(New), ws.path(QStringLiteral("Web/Image/%1.jpg").arg(New)) +
                                QStringLiteral("\r\n已存在同名的文件或文件夹"));
    QFile::remove(ws.path(QStringLiteral("Web/Image/%1.jpg").arg(New)));
    ws.makeFolder(QStringLiteral("Setting/%1.ini").arg(New));
    EXPECT_EQ(refusal(New), ws.path(QStringLiteral("Setting/%1.ini").arg(New)) +
                                QStringLiteral("\r\n已存在同名的文件或文件夹"));
    EXPECT_TRUE(messages.isEmpty());
    QDir(ws.path(QStringLiteral("Setting/%1.ini").arg(New))).removeRecursively();
    EXPECT_EQ(everything(), before);
    expectWholeUnder(Old, New);
}

TEST_F(ProjectRenamingTest, AListNotReadWholeRefusesBeforeTheName)
{
    ws.writeBytes(QStringLiteral("Setting/List.ini"),
                  QByteArray("\xbc\xd7\r\n\xff\xff\r\n") + Old.toLocal8Bit());
    projects.load(ws.workspace().listFile());
    const QStringList before = everything();

    const ProjectRenaming renaming = renameProject(ws.workspace(), projects, 0, QStringLiteral("a/b"));
    EXPECT_EQ(renaming.result, RenameResult::Refused);
    EXPECT_EQ(renaming.failures, QList{ProjectList::unreadable(ws.workspace().listFile())});
    EXPECT_EQ(everything(), before);
}

TEST_F(ProjectRenamingTest, AFailureBeforeTheListIsSavedTakesTheNewNamesBack)
{
    // A cover of the new name appears after the check: its link fails, and
    // the settings file already linked loses its new name again.
    int steps = 0;
    const ProjectRenaming linkFails = rename(New, [&] {
        if (++steps == 1)
            ws.writeBytes(QStringLiteral("Web/Data/%1.html").arg(New), "someone else's");
    });
    EXPECT_EQ(linkFails.result, RenameResult::Failed);
    EXPECT_FALSE(linkFails.listChanged);
    EXPECT_EQ(linkFails.failureText(), ws.path(QStringLiteral("Web/Data/%1.html").arg(New)) +
                                           QStringLiteral("\r\n已存在同名的文件或文件夹"));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Data/%1.html").arg(New)), "someone else's");
    QFile::remove(ws.path(QStringLiteral("Web/Data/%1.html").arg(New)));
    expectWholeUnder(Old, New);

    // The list cannot be saved once every file is linked.
    steps = 0;
    const QString listFile = ws.workspace().listFile();
    const ProjectRenaming saveFails = rename(New, [&] {
        if (++steps == 3) {
            QFile::remove(listFile);
            ws.makeFolder(QStringLiteral("Setting/List.ini/kept"));
        }
    });
    EXPECT_EQ(saveFails.result, RenameResult::Failed);
    EXPECT_EQ(projects.names(), QStringList({QStringLiteral("甲"), Old}));
    ASSERT_EQ(saveFails.failures.size(), 1);
    EXPECT_EQ(saveFails.failures.first().path, listFile);
    EXPECT_FALSE(saveFails.failures.first().reason.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    QDir(listFile).removeRecursively();
    ws.writeList({QStringLiteral("甲"), Old});
    expectWholeUnder(Old, New);
}

TEST_F(ProjectRenamingTest, KilledAtAnyStepTheProjectIsWholeUnderOneNameAndTheRenameCanBeDoneAgain)
{
    // The rename runs in a child that kills itself after step `stop`, in a
    // workspace made anew each time.
    bool finished = false;
    for (int stop = 1; !finished && stop < 20; ++stop) {
        for (const QString &file : filesOf(New))
            QFile::remove(ws.path(file));
        SetUp();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int steps = 0;
            rename(New, [&] {
                if (++steps == stop)
                    ::kill(::getpid(), SIGKILL);
            });
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        finished = WIFEXITED(status);
        // Up to the list's save the project is the old one; from then on,
        // the new one.
        const bool renamed = finished || stop > 3;
        expectWholeUnder(renamed ? New : Old);
        // What the killed rename left does not stand in the way of the next.
        projects.load(ws.workspace().listFile());
        if (!renamed) {
            const ProjectRenaming again = rename(New);
            EXPECT_EQ(again.result, RenameResult::Renamed) << stop;
            EXPECT_TRUE(again.failures.isEmpty()) << again.failureText().toStdString();
            expectWholeUnder(New, Old);
        }
        EXPECT_TRUE(messages.isEmpty()) << messages.texts().join(u'\n').toStdString();
    }
    EXPECT_TRUE(finished);
}
