#include "files/BuildFolder.h"

#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

namespace {

// The id of a process that has ended (and is not reused this soon).
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

QString named(pid_t pid, const char *suffix)
{
    return QStringLiteral(".tessaly-demo-") + QString::number(pid) + u'-' + QString::fromLatin1(suffix);
}

} // namespace

TEST(BuildFolders, OnlyFoldersWhoseMakerIsGoneAreRemovedAndNoLinkIsFollowed)
{
    TempWorkspace ws;
    const QString parent = ws.makeFolder(QStringLiteral("parent"));
    const QString outside = ws.makeFolder(QStringLiteral("outside"));
    ws.writeBytes(QStringLiteral("outside/keep.txt"), "keep");
    const pid_t ended = endedProcess();

    const QString leftover = named(ended, "aB3dE9");
    ws.writeBytes(QStringLiteral("parent/") + leftover + QStringLiteral("/site/movie/a.mp4"), "video");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(outside).constData(),
                  QFile::encodeName(parent + u'/' + leftover + QStringLiteral("/site/out")).constData()),
        0);

    // A folder of a process that still runs, one this process is making
    // (its own id, but locked), a link and a file of a leftover's name, and
    // a name of another shape: all stay.
    const QString running = named(::getppid(), "runnin");
    ws.makeFolder(QStringLiteral("parent/") + running);
    const files::BuildFolder making(parent, ".tessaly-demo-");
    ASSERT_TRUE(making.isValid()) << making.error().toStdString();
    const QString link = named(ended, "linked");
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                        QFile::encodeName(parent + u'/' + link).constData()),
              0);
    const QString file = named(ended, "afile0");
    ws.writeBytes(QStringLiteral("parent/") + file, "x");
    ws.makeFolder(QStringLiteral("parent/.tessaly-demo-other"));

    EXPECT_EQ(files::BuildFolder::removeAbandoned(parent, ".tessaly-demo-"),
              QStringList{parent + u'/' + leftover});
    QStringList expected{running, QDir(making.path()).dirName(), link, file,
                         QStringLiteral(".tessaly-demo-other")};
    expected.sort();
    EXPECT_EQ(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                     QDir::Name),
              expected);
    EXPECT_EQ(ws.readBytes(QStringLiteral("outside/keep.txt")), "keep");
}
