#include "app/CommandLine.h"

#include "app/CoverCommandLine.h"
#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceLock.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly {

struct CommandLine::Session
{
    explicit Session(const QString &folder) : workspace(folder), lock(workspace) {}

    Workspace workspace;
    WorkspaceLock lock;
    ProjectList projects;
    WorkingTemplates templates;
};

CommandLine::CommandLine(QString applicationFolder, Output out, Output err)
    : m_applicationFolder(std::move(applicationFolder)), m_out(std::move(out)), m_err(std::move(err))
{}

QString CommandLine::usageText()
{
    return QStringLiteral("用法: tessaly-cli [--workspace DIR] COMMAND\n"
                          "      tessaly-cli demo DIR\n"
                          "  generate       生成整站内容\n"
                          "  update NAME    更新本集内容 (列表中第一个名为 NAME 的项目)\n"
                          "  list           列出项目名称, 每行一个\n"
                          "  add NAME [FOLDER]  添加项目到列表顶部 (FOLDER 为剧集文件夹)\n"
                          "  remove NAME    删除项目 (列表中第一个名为 NAME 的项目)\n"
                          "  cover NAME [EPISODE]  从视频截取封面 (EPISODE 为剧集序号或文件名)\n"
                          "  covers-missing 为无封面项目截取封面\n"
                          "  demo DIR       在新文件夹 DIR 中制作示例 (视频, 工作区和已发布的站点)");
}

int CommandLine::usageError()
{
    m_err(usageText());
    return UsageError;
}

int CommandLine::run(const QStringList &arguments)
{
    QString folder;
    qsizetype at = 0;
    if (at < arguments.size() && arguments.at(at) == QLatin1String("--workspace")) {
        if (at + 1 >= arguments.size() || arguments.at(at + 1).isEmpty())
            return usageError();
        folder = arguments.at(at + 1);
        at += 2;
    } else if (at < arguments.size() && arguments.at(at).startsWith(QLatin1String("--workspace="))) {
        folder = arguments.at(at).mid(int(sizeof("--workspace=")) - 1);
        if (folder.isEmpty())
            return usageError();
        ++at;
    }
    if (at >= arguments.size())
        return usageError();

    const QString command = arguments.at(at);
    const QStringList rest = arguments.mid(at + 1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        m_out(usageText());
        return Done;
    }
    // The example is a workspace of its own: naming another is a mistake.
    if (command == QLatin1String("demo")) {
        const bool workspaceNamed = at > 0;
        if (workspaceNamed || rest.size() != 1 || rest.first().isEmpty() || !m_exampleMaker)
            return usageError();
        ProgressLines lines([this](const ProgressLine &line) { m_out(line.text); });
        return m_exampleMaker(rest.first(), lines) ? Done : Failed;
    }

    // Each command: how many arguments it takes, and what it does.
    struct Command
    {
        const char *name;
        int minimum;
        int maximum;
        std::function<int(Session &, const QStringList &)> act;
    };
    const Command commands[] = {
        {"generate", 0, 0, [this](Session &s, const QStringList &) { return generate(s); }},
        {"update", 1, 1, [this](Session &s, const QStringList &a) { return update(s, a.at(0)); }},
        {"list", 0, 0, [this](Session &s, const QStringList &) { return list(s); }},
        {"add", 1, 2, [this](Session &s, const QStringList &a) { return add(s, a); }},
        {"remove", 1, 1, [this](Session &s, const QStringList &a) { return remove(s, a.at(0)); }},
        {"cover", 1, 2,
         [this](Session &s, const QStringList &a) {
             return cover_commands::cover(s.workspace, s.projects, a, m_out);
         }},
        {"covers-missing", 0, 0,
         [this](Session &s, const QStringList &) {
             return cover_commands::coversMissing(s.workspace, s.projects, m_out);
         }},
    };
    for (const Command &candidate : commands) {
        if (command != QLatin1String(candidate.name))
            continue;
        if (rest.size() < candidate.minimum || rest.size() > candidate.maximum || rest.contains(QString()))
            return usageError();
        Session session(chooseWorkspaceFolder(m_applicationFolder, folder));
        if (!start(session, command == QLatin1String("list")))
            return Failed;
        return candidate.act(session, rest);
    }
    return usageError();
}

bool CommandLine::start(Session &session, bool readOnly)
{
    // A workspace named on the command line may be new: its folder is made,
    // but nothing inside it before the lock is held.
    const QString root = session.workspace.root();
    // A workspace not made yet has no projects to list, and listing makes nothing.
    if (readOnly && !QFileInfo::exists(root))
        return true;
    if (!files::folderExists(root)) {
        if (readOnly) {
            Messages::error(Messages::withPath(root, QStringLiteral("文件夹不存在!")));
            return false;
        }
        // mkpath keeps no reason: the last folder is made once more to learn it.
        QString reason;
        if (!QDir().mkpath(root) && !files::makeFolder(root, &reason)) {
            Messages::error(Messages::withPath(root, reason));
            return false;
        }
    }
    // Listing changes nothing, so a workspace where no lock file can be
    // made (a read-only disk) is still listed; a holder still keeps it out.
    if (!session.lock.acquire() &&
        !(readOnly && session.lock.refusal() == WorkspaceLock::Refusal::CannotCreate)) {
        Messages::error(session.lock.refusalText());
        return false;
    }
    if (!readOnly) {
        const QStringList folderFailures = session.workspace.createFolders();
        for (const QString &failure : folderFailures)
            Messages::error(failure);
    }
    const QString listFile = session.workspace.listFile();
    if (session.projects.load(listFile) == ProjectList::LoadResult::Unreadable)
        Messages::error(ProjectList::unreadableText(listFile));
    if (readOnly)
        return true;
    session.templates = UpdateStyle(session.workspace, session.templates);
    const QString unusable = unusableRunInputsText(session.workspace, session.templates);
    if (!unusable.isEmpty())
        Messages::error(unusable);
    return true;
}

int CommandLine::generate(Session &session)
{
    session.templates = UpdateStyle(session.workspace, session.templates);
    ProgressLines lines([this](const ProgressLine &line) { m_out(line.text); });
    const RunOutcome outcome =
        SiteGeneration(session.workspace, session.projects, session.templates, lines).run();
    return outcome.succeeded() ? Done : Failed;
}

int CommandLine::update(Session &session, const QString &name)
{
    const int row = session.projects.indexOf(name);
    if (row < 0) {
        Messages::error(QStringLiteral("没有内容!"));
        return Failed;
    }
    session.templates = UpdateStyle(session.workspace, session.templates);
    ProgressLines lines([this](const ProgressLine &line) { m_out(line.text); });
    const RunOutcome outcome =
        ProjectUpdate(session.workspace, session.projects, session.templates, lines).run(row);
    return outcome.succeeded() ? Done : Failed;
}

int CommandLine::add(Session &session, const QStringList &arguments)
{
    NewProject project{arguments.at(0), {}};
    if (arguments.size() == 2)
        project.episodeFolder = absoluteEpisodeFolder(arguments.at(1), QDir::currentPath());
    return createProject(session.workspace, session.projects, project) == CreationResult::Created ? Done
                                                                                                  : Failed;
}

int CommandLine::remove(Session &session, const QString &name)
{
    const int row = session.projects.indexOf(name);
    if (row < 0) {
        Messages::error(QStringLiteral("没有内容!"));
        return Failed;
    }
    if (!deleteProject(session.workspace, session.projects, row))
        return Failed;
    Messages::information(deletedText());
    return Done;
}

int CommandLine::list(Session &session)
{
    for (const QString &name : session.projects.names())
        m_out(name);
    // Names lost from a list that was not read whole are not listed.
    return session.projects.saveRefused() ? Failed : Done;
}

} // namespace tessaly
