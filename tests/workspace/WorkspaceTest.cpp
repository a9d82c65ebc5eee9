#include "workspace/Workspace.h"

#include "files/Reasons.h"
#include "support/DataHome.h"
#include "support/FullDisk.h"
#include "support/Permissions.h"
#include "support/TempWorkspace.h"
#include "workspace/WorkspaceLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

TEST(WorkspaceStartup, CreatesTheSevenFoldersButNotTemp)
{
    TempWorkspace ws;
    EXPECT_TRUE(ws.workspace().createFolders().isEmpty());
    for (const char *folder : {"Web", "Web/Data", "Web/Image", "Setting", "Data", "Log", "Style"})
        EXPECT_TRUE(QDir(ws.path(QString::fromUtf8(folder))).exists()) << folder;
    EXPECT_FALSE(ws.exists(QStringLiteral("Temp")));
    EXPECT_TRUE(ws.workspace().createFolders().isEmpty()); // a second start changes nothing
}

TEST(WorkspaceStartup, AFolderThatCannotBeMadeIsReportedAndTheRestGoOn)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("Web"), "a file where the folder should be");
    const QStringList failures = ws.workspace().createFolders();
    ASSERT_EQ(failures.size(), 2); // Web/Data and Web/Image cannot exist under a file
    EXPECT_TRUE(failures.first().startsWith(ws.path(QStringLiteral("Web/Data")) + QStringLiteral(": ")));
    EXPECT_TRUE(QDir(ws.path(QStringLiteral("Style"))).exists());
}

TEST(WorkspacePaths, ProjectFilesAreNamedAfterTheProject)
{
    const Workspace ws(QStringLiteral("/srv/app/"));
    EXPECT_EQ(ws.coverFile(QStringLiteral("甲")), QStringLiteral("/srv/app/Web/Image/甲.jpg"));
    EXPECT_EQ(ws.playPage(QStringLiteral("甲")), QStringLiteral("/srv/app/Web/Data/甲.html"));
    EXPECT_EQ(ws.projectSettingsFile(QStringLiteral("甲")), QStringLiteral("/srv/app/Setting/甲.ini"));
    EXPECT_EQ(Workspace(QStringLiteral("/")).web(), QStringLiteral("/Web"));
}

TEST(WorkspaceLocking, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempWorkspace ws;
    auto first = std::make_unique<WorkspaceLock>(ws.workspace());
    ASSERT_TRUE(first->acquire());
    WorkspaceLock second(ws.workspace());
    // QLockFile allows re-entry from the same process only through the same object.
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST(WorkspaceLocking, ALockLeftByAProcessThatIsGoneIsTakenOver)
{
    TempWorkspace ws;
    // What a crashed holder leaves: its process id, name and host.
    ws.writeBytes(QStringLiteral(".tessaly.lock"),
                  QByteArray("999999999\ntessaly\n") + QSysInfo::machineHostName().toUtf8() + "\n");
    WorkspaceLock lock(ws.workspace());
    EXPECT_TRUE(lock.acquire());
}

TEST(WorkspaceLocking, ALiveHolderKeepsItsLockHoweverLongItHasHeldIt)
{
    TempWorkspace ws;
    WorkspaceLock window(ws.workspace());
    ASSERT_TRUE(window.acquire());
    // A window open for an hour: its process is alive, its lock file old.
    QFile file(ws.path(QStringLiteral(".tessaly.lock")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    file.close();
    WorkspaceLock command(ws.workspace());
    EXPECT_FALSE(command.acquire());
}

TEST(WorkspaceChoice, AnInstalledCopyWorksInTheUsersDataFolderAndAnyOtherBesideItsProgram)
{
    TempWorkspace prefix;
    const QString bin = prefix.makeFolder(QStringLiteral("bin"));
    const QString dataHome = prefix.makeFolder(QStringLiteral("home/.local/share"));
    const tessaly::testing::DataHome home(dataHome);

    EXPECT_EQ(chooseWorkspaceFolder(bin).value(), bin);
    EXPECT_TRUE(QDir(dataHome).isEmpty()) << "a portable copy makes nothing in the home folder";

    prefix.writeBytes(QStringLiteral("share/applications/tessaly.desktop"), "[Desktop Entry]\n");
    EXPECT_EQ(chooseWorkspaceFolder(bin).value(), dataHome + QStringLiteral("/Tessaly"));
    EXPECT_TRUE(QDir(dataHome + QStringLiteral("/Tessaly")).exists());

    const QString named = prefix.makeFolder(QStringLiteral("named"));
    EXPECT_EQ(chooseWorkspaceFolder(bin, named).value(), named);
}

TEST(WorkspaceChoice, AnInstalledCopyMakesOnlyItsOwnFolderAndRefusesWhenTheUserHasNoDataFolder)
{
    using tessaly::testing::EnvironmentValue;
    TempWorkspace prefix;
    const QString bin = prefix.makeFolder(QStringLiteral("bin"));
    prefix.writeBytes(QStringLiteral("share/applications/tessaly.desktop"), "[Desktop Entry]\n");
    prefix.makeFolder(QStringLiteral("home"));
    prefix.makeFolder(QStringLiteral("data"));
    const QString started = prefix.makeFolder(QStringLiteral("started here"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(started));

    // `@` stands for the test's folder; no value means unset. An empty
    // expectation is a refusal.
    struct Case
    {
        std::optional<QByteArray> home;
        std::optional<QByteArray> dataHome;
        QString expected;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, {}},
        {"", "", {}},
        {"home", std::nullopt, {}},
        {"@/nowhere/x", std::nullopt, {}},
        {std::nullopt, "@/no data", {}},
        {"@/home", "relative", QStringLiteral("@/home/.local/share/Tessaly")},
        {"@/nowhere/x", "@/data/", QStringLiteral("@/data/Tessaly")},
    };
    const QByteArray root = QFile::encodeName(prefix.root());
    for (const Case &test : cases) {
        const auto placed = [&](const std::optional<QByteArray> &value) -> std::optional<QByteArray> {
            return value ? std::optional(QByteArray(*value).replace('@', root)) : std::nullopt;
        };
        const EnvironmentValue home("HOME", placed(test.home));
        const EnvironmentValue dataHome("XDG_DATA_HOME", placed(test.dataHome));
        const files::Outcome<QString> choice = chooseWorkspaceFolder(bin);
        const QString label =
            QString::fromUtf8(test.home.value_or("(unset)") + " " + test.dataHome.value_or("(unset)"));
        if (test.expected.isEmpty()) {
            ASSERT_FALSE(choice) << label.toStdString();
            EXPECT_EQ(choice.failure(), (files::Failure{{}, noDataFolderText()})) << label.toStdString();
        } else {
            ASSERT_TRUE(choice) << label.toStdString();
            EXPECT_EQ(*choice, QString(test.expected).replace(u'@', prefix.root())) << label.toStdString();
        }
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(QDir(started).isEmpty());
    EXPECT_FALSE(prefix.exists(QStringLiteral("nowhere")));
    EXPECT_FALSE(prefix.exists(QStringLiteral("no data")));
}

TEST(WorkspaceLocking, AnEmptyOrGarbledLockFileIsTakenOver)
{
    TempWorkspace ws;
    for (const QByteArray &garbled : {QByteArray(), QByteArray("\x01\xFFnot a pid\n")}) {
        ws.writeBytes(QStringLiteral(".tessaly.lock"), garbled);
        WorkspaceLock lock(ws.workspace());
        EXPECT_TRUE(lock.acquire()) << garbled.toHex().constData();
        EXPECT_EQ(lock.refusal(), WorkspaceLock::Refusal::None);
    }
}

TEST(WorkspaceLocking, AGarbledLockFileOfALiveHolderIsNotTakenOver)
{
    TempWorkspace ws;
    WorkspaceLock holder(ws.workspace());
    ASSERT_TRUE(holder.acquire());
    // Emptied in place, as if the holder were still writing it.
    QFile file(ws.path(QStringLiteral(".tessaly.lock")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
    file.close();

    WorkspaceLock second(ws.workspace());
    const files::Outcome<void> locked = second.acquire();
    ASSERT_FALSE(locked);
    EXPECT_EQ(locked.failure().text(), WorkspaceLock::busyText(ws.root()));
}

TEST(WorkspaceLocking, AHolderOnAnotherComputerIsRespectedAndNamed)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral(".tessaly.lock"), "4242\ntessaly\nmedia-server-2\n");
    WorkspaceLock lock(ws.workspace());
    const files::Outcome<void> locked = lock.acquire();
    ASSERT_FALSE(locked);
    EXPECT_EQ(lock.refusal(), WorkspaceLock::Refusal::HeldElsewhere);
    EXPECT_EQ(
        locked.failure().text(),
        ws.path(QStringLiteral(".tessaly.lock")) +
            QStringLiteral("\r\n工作区正在被另一台计算机上的Tessaly使用(主机 media-server-2,进程 4242)!"));
    EXPECT_TRUE(ws.exists(QStringLiteral(".tessaly.lock")));
}

PERMISSION_TEST(WorkspaceLocking, ALockThatCannotBeCreatedInAReadOnlyFolderGivesTheSystemsReason)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    TempWorkspace ws;
    ASSERT_TRUE(QFile::setPermissions(ws.root(), QFile::ReadOwner | QFile::ExeOwner));
    WorkspaceLock lock(ws.workspace());
    const files::Outcome<void> locked = lock.acquire();
    QFile::setPermissions(ws.root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_FALSE(locked);
    EXPECT_EQ(lock.refusal(), WorkspaceLock::Refusal::CannotCreate);
    EXPECT_EQ(locked.failure(),
              (files::Failure{ws.path(QStringLiteral(".tessaly.lock")), files::reasonFor(EACCES)}));
}

TEST(WorkspaceLocking, ALockThatCannotBeWrittenGivesTheSystemsReasonAndLeavesNoFile)
{
    TempWorkspace ws;
    const int result = tessaly::testing::inChildWithFileSizeLimit(0, [&] {
        WorkspaceLock lock(ws.workspace());
        const files::Outcome<void> locked = lock.acquire();
        if (locked)
            return 1;
        return locked.failure() ==
                       files::Failure{ws.path(QStringLiteral(".tessaly.lock")), files::reasonFor(EFBIG)}
                   ? 0
                   : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ws.exists(QStringLiteral(".tessaly.lock")));
}

TEST(WorkspaceLocking, AFolderWhereTheLockFileGoesIsSaidNotTakenForAHolder)
{
    TempWorkspace ws;
    ws.makeFolder(QStringLiteral(".tessaly.lock"));
    WorkspaceLock lock(ws.workspace());
    const files::Outcome<void> locked = lock.acquire();
    ASSERT_FALSE(locked);
    EXPECT_EQ(lock.refusal(), WorkspaceLock::Refusal::CannotCreate);
    EXPECT_EQ(locked.failure(),
              (files::Failure{ws.path(QStringLiteral(".tessaly.lock")), files::reasonFor(EISDIR)}));
}
