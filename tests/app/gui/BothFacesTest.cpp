#include "app/CommandLine.h"
#include "app/gui/MainWindow.h"
#include "platform/gui/BackgroundRun.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"
#include "workspace/WorkspaceLock.h"

#include <QDialog>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// What one face left behind: every file of the workspace (which holds the
// published site too) with its bytes, the list as it shows it, the boxes it
// said and the progress lines it showed. Paths are written relative to the
// workspace, so that two workspaces compare.
struct Traces
{
    QMap<QString, QByteArray> files;
    QStringList listed;
    QStringList boxes;
    QStringList lines;
};

// The run log is named by the second the run ended, which differs between
// the two runs.
const QRegularExpression runLogName(QStringLiteral("Log/\\d{14}\\.log"));
const QString anyRunLog = QStringLiteral("Log/<time>.log");

QStringList relativeTexts(QStringList texts, const QString &root)
{
    return texts.replaceInStrings(root, QStringLiteral("<workspace>"))
        .replaceInStrings(runLogName, anyRunLog);
}

QMap<QString, QByteArray> filesBelow(const TempWorkspace &space)
{
    QMap<QString, QByteArray> found;
    const QString root = space.root();
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == space.workspace().lockFile())
            continue;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        found.insert(relativeTexts({QDir(root).relativeFilePath(path)}, root).first(),
                     file.readAll().replace(root.toUtf8(), "<workspace>"));
    }
    return found;
}

// Two projects with two episodes each and their covers, published with
// WebUpdate to `site`.
void twoProjects(TempWorkspace &space)
{
    space.withFolders();
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        for (const char *episode : {"1.mp4", "2.mp4"})
            space.writeBytes(QStringLiteral("m/%1/%2").arg(name, QLatin1String(episode)), "video");
        space.writeText(QStringLiteral("Setting/%1.ini").arg(name),
                        QStringLiteral("[Setting]\r\nFile=") + space.path(QStringLiteral("m/") + name));
        space.writeBytes(QStringLiteral("Web/Image/%1.jpg").arg(name), "cover");
    }
    space.writeSiteSettings(space.path(QStringLiteral("m")), space.makeFolder(QStringLiteral("site")),
                            QStringLiteral("http://videos.local/"), QStringLiteral("True"));
    space.writeList({QStringLiteral("甲"), QStringLiteral("乙")});
    space.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nCoverwidth=185\r\nCoverheight=250\r\nLinecontent=3"));
    // Opened once, as a workspace in use is: the style load has written
    // its templates, so that opening it again writes nothing.
    WorkspaceSession(space.root())
        .open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse);
}

// Undecodable bytes between two names: the names are read, the list is
// never saved.
const QByteArray unreadableList = QByteArray("\xbc\xd7\r\n\xff\xff\r\n\xd2\xd2\r\n");

struct Case
{
    const char *title;
    std::function<void(TempWorkspace &)> prepare;
    QStringList command;
    // Another program holds the workspace while the command runs.
    bool heldElsewhere = false;
};

void PrintTo(const Case &command, std::ostream *out)
{
    *out << command.title;
}

const QList<Case> &cases()
{
    static const QList<Case> all = {
        {"add", twoProjects, {"add", "新片"}},
        {"add with an episode folder",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("m/丙/1.mp4"), "video");
         },
         {"add", "丙", "<workspace>/m/丙"}},
        {"add a name already listed", twoProjects, {"add", "乙"}},
        {"add a name that cannot be a file name", twoProjects, {"add", "a?b"}},
        {"add a name with spaces around it", twoProjects, {"add", " 新片 "}},
        {"add to a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"add", "新片"}},
        {"add to a list that is a folder",
         [](TempWorkspace &s) {
             twoProjects(s);
             QFile::remove(s.path(QStringLiteral("Setting/List.ini")));
             s.makeFolder(QStringLiteral("Setting/List.ini/x"));
         },
         {"add", "新片"}},
        {"add with an episode folder below a movie root written with a slash",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("m/丙/1.mp4"), "video");
             s.writeSiteSettings(s.path(QStringLiteral("m/")), s.path(QStringLiteral("site")));
         },
         {"add", "新片", "<workspace>/m/丙"}},
        {"add with a folder its settings file cannot carry",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.makeFolder(QStringLiteral("m/丙 "));
         },
         {"add", "丙", "<workspace>/m/丙 "}},
        {"add to a workspace never opened", [](TempWorkspace &) {}, {"add", "新片"}},

        {"remove", twoProjects, {"remove", "甲"}},
        {"remove a project whose cover is a folder",
         [](TempWorkspace &s) {
             twoProjects(s);
             QFile::remove(s.path(QStringLiteral("Web/Image/乙.jpg")));
             s.writeBytes(QStringLiteral("Web/Image/乙.jpg/kept"), "x");
             s.writeBytes(QStringLiteral("Web/Data/乙.html"), "page");
         },
         {"remove", "乙"}},
        {"remove from a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"remove", "乙"}},
        {"remove a name that cannot be a file name",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("甲"), QStringLiteral("../Setting/乙")});
         },
         {"remove", "../Setting/乙"}},

        {"rename", twoProjects, {"rename", "乙", "丙"}},
        {"rename changing only letter case",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("甲"), QStringLiteral("tv")});
             s.writeBytes(QStringLiteral("Web/Image/tv.jpg"), "cover");
         },
         {"rename", "tv", "TV"}},
        {"rename to a name listed already", twoProjects, {"rename", "乙", "甲"}},
        {"rename to a name that cannot be a file name", twoProjects, {"rename", "乙", "a:b"}},
        {"rename to a name whose settings file is left over",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeText(QStringLiteral("Setting/丙.ini"), QStringLiteral("[Setting]\r\nFile=/films/old"));
         },
         {"rename", "乙", "丙"}},
        {"rename in a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"rename", "乙", "丙"}},
        {"rename a name that cannot be a file name",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("甲"), QStringLiteral(".乙")});
         },
         {"rename", ".乙", "乙"}},

        {"update", twoProjects, {"update", "乙"}},
        {"update a project whose episode folder is gone",
         [](TempWorkspace &s) {
             twoProjects(s);
             QDir(s.path(QStringLiteral("m/乙"))).removeRecursively();
         },
         {"update", "乙"}},
        {"update a name that cannot be a file name",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("甲"), QStringLiteral("a/b")});
         },
         {"update", "a/b"}},
        {"update a name not listed", twoProjects, {"update", "丁"}},
        {"update in a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"update", "乙"}},
        {"update with the site folder gone",
         [](TempWorkspace &s) {
             twoProjects(s);
             QDir(s.path(QStringLiteral("site"))).removeRecursively();
         },
         {"update", "甲"}},

        {"generate", twoProjects, {"generate"}},
        {"generate a list holding a name that cannot be a file name",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("甲"), QStringLiteral("../x"), QStringLiteral("乙")});
         },
         {"generate"}},
        {"generate with a cover missing and a page left over",
         [](TempWorkspace &s) {
             twoProjects(s);
             QFile::remove(s.path(QStringLiteral("Web/Image/甲.jpg")));
             s.writeBytes(QStringLiteral("Web/Data/旧.html"), "old page");
             s.writeBytes(QStringLiteral("site/Data/旧.html"), "old page");
         },
         {"generate"}},
        {"generate while another program holds the workspace", twoProjects, {"generate"}, true},
        {"generate a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"generate"}},
        {"generate when the run log cannot be written",
         [](TempWorkspace &s) {
             twoProjects(s);
             QDir(s.path(QStringLiteral("Log"))).removeRecursively();
             s.writeBytes(QStringLiteral("Log"), "a file");
         },
         {"generate"}},
        {"generate into a site folder that is a file",
         [](TempWorkspace &s) {
             twoProjects(s);
             QDir(s.path(QStringLiteral("site"))).removeRecursively();
             s.writeBytes(QStringLiteral("site"), "a file");
         },
         {"generate"}},
        {"generate an empty list",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({});
         },
         {"generate"}},
        {"generate on a workspace never opened",
         [](TempWorkspace &s) {
             s.writeBytes(QStringLiteral("m/甲/1.mp4"), "video");
             s.writeSiteSettings(s.path(QStringLiteral("m")));
             s.writeList({QStringLiteral("甲")});
         },
         {"generate"}},

        {"list", twoProjects, {"list"}},
        {"list a name listed twice",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeList({QStringLiteral("乙"), QStringLiteral("甲"), QStringLiteral("乙")});
         },
         {"list"}},
        {"list a list not read whole",
         [](TempWorkspace &s) {
             twoProjects(s);
             s.writeBytes(QStringLiteral("Setting/List.ini"), unreadableList);
         },
         {"list"}},
    };
    return all;
}

class BothFaces : public ::testing::TestWithParam<Case>
{
protected:
    // The case's command as a script gives it.
    QStringList commandIn(const TempWorkspace &space) const
    {
        QStringList command = GetParam().command;
        command.replaceInStrings(QStringLiteral("<workspace>"), space.root());
        return command;
    }

    std::unique_ptr<WorkspaceLock> holdIfAsked(const TempWorkspace &space) const
    {
        if (!GetParam().heldElsewhere)
            return nullptr;
        auto lock = std::make_unique<WorkspaceLock>(space.workspace());
        EXPECT_TRUE(lock->acquire());
        return lock;
    }

    Traces traces(const TempWorkspace &space, const QStringList &listed, const QStringList &lines,
                  const QStringList &boxes) const
    {
        const QString root = space.root();
        return {filesBelow(space), listed, relativeTexts(boxes, root), relativeTexts(lines, root)};
    }

    bool listing() const { return GetParam().command.first() == QLatin1String("list"); }

    // The command as a script runs it; the list afterwards is what `list`
    // prints then.
    Traces throughTheCommandLine()
    {
        TempWorkspace space;
        GetParam().prepare(space);
        const auto held = holdIfAsked(space);
        messages.clear();
        const auto run = [&space](const QStringList &command) {
            QStringList out;
            CommandLine commandLine(
                QStringLiteral("/nonexistent"), [&out](const QString &line) { out.append(line); },
                [](const QString &) {});
            commandLine.run(QStringList{QStringLiteral("--workspace"), space.root()} + command);
            return out;
        };
        const QStringList out = run(commandIn(space));
        const QStringList boxes = messages.texts();
        if (listing())
            return traces(space, out, {}, boxes);
        return traces(space, run({QStringLiteral("list")}), out, boxes);
    }

    Traces throughTheWindow()
    {
        TempWorkspace space;
        GetParam().prepare(space);
        const auto held = holdIfAsked(space);
        messages.clear();
        QStringList listed;
        QStringList lines;
        {
            WorkspaceSession session(space.root());
            if (session.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse)) {
                WindowSeams seams;
                seams.desktop = &desktop;
                MainWindow window(session, seams);
                window.start();
                window.show();
                act(window, session, commandIn(space));
                listed = rowTexts(*window.projectView());
                if (auto *panel = window.findChild<QTreeView *>(QStringLiteral("ListView3")))
                    lines = rowTexts(*panel);
            }
        }
        // The window's own question is not the command's.
        QStringList boxes;
        for (const Message &message : messages.messages()) {
            if (message.icon != MessageIcon::Question)
                boxes.append(message.text);
        }
        return traces(space, listed, lines, boxes);
    }

    // Does in the window what the command line's command does: types the
    // name in the new project dialog, or selects the named row and clicks.
    static void act(MainWindow &window, const WorkspaceSession &session, const QStringList &command)
    {
        const QString verb = command.first();
        const auto click = [&window](const char *button) {
            window.findChild<QPushButton *>(QLatin1String(button))->click();
        };
        if (verb == QLatin1String("add")) {
            whenModalDialogShown([&command](QDialog &dialog) {
                // The folder is picked in the chooser behind "...", below
                // the movie root, by its name.
                if (command.size() > 2) {
                    whenModalDialogShown([&command](QDialog &chooser) {
                        auto *folders = chooser.findChild<QTreeView *>(QStringLiteral("ListView1"));
                        clickRow(*folders, rowWithText(*folders, QFileInfo(command.at(2)).fileName()));
                        chooser.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
                    });
                    dialog.findChild<QPushButton *>(QStringLiteral("Command3"))->click();
                }
                auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"));
                // A folder the chooser refused names nothing: the user can
                // only give up.
                if (command.size() > 2 && name->text().isEmpty())
                    return;
                name->clear();
                typeText(*name, command.at(1));
                dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            });
            click("Command1");
        } else if (verb == QLatin1String("remove")) {
            window.selectRow(session.rowOf(command.at(1)));
            click("Command2");
        } else if (verb == QLatin1String("rename")) {
            window.selectRow(session.rowOf(command.at(1)));
            // F2 in the list, as the user starts it.
            window.activateWindow();
            window.projectView()->setFocus();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
            whenModalDialogShown([&command](QDialog &dialog) {
                auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"));
                // The old name is selected: typing replaces it.
                typeText(*name, command.at(2));
                dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            });
            QTest::keyClick(window.projectView(), Qt::Key_F2);
        } else if (verb == QLatin1String("update")) {
            window.selectRow(session.rowOf(command.at(1)));
            click("Command6");
        } else if (verb == QLatin1String("generate")) {
            click("Command4");
        }
        EXPECT_TRUE(waitUntil([&window] { return !window.backgroundRun().isRunning(); }, 60000));
    }

    RecordingMessages messages;
    RecordingDesktop desktop;
};

} // namespace

std::string shown(const QStringList &texts)
{
    return texts.join(QLatin1Char('\n')).toStdString();
}

TEST_P(BothFaces, LeaveTheSameFilesListAndMessages)
{
    const Traces script = throughTheCommandLine();
    const Traces window = throughTheWindow();
    EXPECT_EQ(shown(window.listed), shown(script.listed));
    EXPECT_EQ(shown(window.boxes), shown(script.boxes));
    EXPECT_EQ(shown(window.lines), shown(script.lines));
    EXPECT_EQ(shown(window.files.keys()), shown(script.files.keys()));
    for (auto file = script.files.cbegin(); file != script.files.cend(); ++file)
        EXPECT_EQ(window.files.value(file.key()), file.value()) << file.key().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Commands, BothFaces, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             QString name = QString::fromLatin1(info.param.title);
                             name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")),
                                          QStringLiteral("_"));
                             return name.toStdString();
                         });
