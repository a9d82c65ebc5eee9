#include "app/CommandLine.h"

#include "app/CoverCommandLine.h"
#include "app/WorkspaceSession.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "platform/InterruptStop.h"
#include "platform/Messages.h"
#include "platform/network/NetworkServerProbe.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/WebCopyTexts.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly {

CommandLine::CommandLine(QString applicationFolder, Output out, Output err)
    : m_applicationFolder(std::move(applicationFolder)), m_out(std::move(out)), m_err(std::move(err)),
      m_probe(std::make_unique<NetworkServerProbe>())
{}

CommandLine::~CommandLine() = default;

void CommandLine::setServerProbe(std::unique_ptr<ServerProbe> probe)
{
    m_probe = std::move(probe);
}

QString CommandLine::usageText()
{
    return QStringLiteral("用法: tessaly-cli [--workspace DIR] COMMAND\n"
                          "      tessaly-cli demo DIR\n"
                          "  generate       生成整站内容\n"
                          "  update NAME    更新本集内容 (列表中第一个名为 NAME 的项目)\n"
                          "  list           列出项目名称, 每行一个\n"
                          "  add NAME [FOLDER]  添加项目到列表顶部 (FOLDER 为剧集文件夹)\n"
                          "  remove NAME    删除项目 (列表中第一个名为 NAME 的项目)\n"
                          "  rename OLD NEW 将项目 OLD 重命名为 NEW (列表中第一个名为 OLD 的项目)\n"
                          "  cover NAME [EPISODE]  从视频截取封面 (EPISODE 为剧集序号或文件名)\n"
                          "  covers-missing 为无封面项目截取封面\n"
                          "  check [NAME]   检查剧集能否在浏览器中播放 (NAME 的或全部项目的剧集),\n"
                          "                 每集一行: 项目, 文件名, 结论, 原因, 时长, 以制表符分隔\n"
                          "  convert [NAME [EPISODE]]  转换为网页格式: 所有项目 (或项目 NAME, 或其剧集\n"
                          "                 EPISODE) 中浏览器无法播放的剧集\n"
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
        ProgressLines lines([this](const ProgressLine &line) {
            if (!line.logOnly)
                m_out(line.text);
        });
        return m_exampleMaker(rest.first(), lines) ? Done : Failed;
    }

    // Each command: how many arguments it takes, and what it does.
    struct Command
    {
        const char *name;
        int minimum;
        int maximum;
        std::function<int(WorkspaceSession &, const QStringList &)> act;
    };
    const Command commands[] = {
        {"generate", 0, 0, [this](WorkspaceSession &s, const QStringList &) { return generate(s); }},
        {"update", 1, 1, [this](WorkspaceSession &s, const QStringList &a) { return update(s, a.at(0)); }},
        {"list", 0, 0, [this](WorkspaceSession &s, const QStringList &) { return list(s); }},
        {"add", 1, 2, [this](WorkspaceSession &s, const QStringList &a) { return add(s, a); }},
        {"remove", 1, 1, [this](WorkspaceSession &s, const QStringList &a) { return remove(s, a.at(0)); }},
        {"rename", 2, 2,
         [](WorkspaceSession &s, const QStringList &a) {
             return s.rename(s.rowOf(a.at(0)), a.at(1)).done() ? Done : Failed;
         }},
        {"cover", 1, 2,
         [this](WorkspaceSession &s, const QStringList &a) {
             return cover_commands::cover(s.workspace(), s.projects(), a, m_out);
         }},
        {"check", 0, 1, [this](WorkspaceSession &s, const QStringList &a) { return check(s, a); }},
        {"convert", 0, 2, [this](WorkspaceSession &s, const QStringList &a) { return convert(s, a); }},
        {"covers-missing", 0, 0,
         [this](WorkspaceSession &s, const QStringList &) {
             return cover_commands::coversMissing(s.workspace(), s.projects(), m_out);
         }},
    };
    for (const Command &candidate : commands) {
        if (command != QLatin1String(candidate.name))
            continue;
        if (rest.size() < candidate.minimum || rest.size() > candidate.maximum || rest.contains(QString()))
            return usageError();
        const files::Outcome<QString> choice = chooseWorkspaceFolder(m_applicationFolder, folder);
        if (!choice) {
            Messages::error(choice.failure().text());
            return Failed;
        }
        WorkspaceSession session(*choice);
        session.setServerProbe(m_probe.get());
        const auto access = command == QLatin1String("list") ? WorkspaceSession::Access::ReadOnly
                                                             : WorkspaceSession::Access::Change;
        if (!session.open(access, WorkspaceSession::MissingFolder::Make))
            return Failed;
        return candidate.act(session, rest);
    }
    return usageError();
}

int CommandLine::generate(WorkspaceSession &session)
{
    ProgressLines lines([this](const ProgressLine &line) {
        if (!line.logOnly)
            m_out(line.text);
    });
    return session.generate(lines).succeeded() ? Done : Failed;
}

int CommandLine::update(WorkspaceSession &session, const QString &name)
{
    const int row = session.rowOf(name);
    if (row < 0) {
        Messages::error(catalogue::texts::noContent());
        return Failed;
    }
    ProgressLines lines([this](const ProgressLine &line) {
        if (!line.logOnly)
            m_out(line.text);
    });
    return session.update(row, lines).succeeded() ? Done : Failed;
}

namespace {

// The lines as every command prints them, with the share of the run done
// as a percentage beside them, cleared before each line.
class LinesAndPercent : public ProgressLines
{
public:
    LinesAndPercent(const CommandLine::Output &out, const CommandLine::PercentOutput &percent)
        : ProgressLines([this](const ProgressLine &line) { print(line); }), m_out(out), m_percent(percent)
    {}
    ~LinesAndPercent() override { clear(); }

    void progress(int done, int total) override
    {
        const int percent = total > 0 ? int(qint64(done) * 100 / total) : 100;
        if (!m_percent || percent == m_shown)
            return;
        m_shown = percent;
        m_percent(percent);
    }

private:
    void print(const ProgressLine &line)
    {
        if (line.logOnly)
            return;
        clear();
        m_out(line.text);
    }
    void clear()
    {
        if (m_percent && m_shown >= 0)
            m_percent(-1);
        m_shown = -1;
    }

    const CommandLine::Output &m_out;
    const CommandLine::PercentOutput &m_percent;
    int m_shown = -1;
};

} // namespace

int CommandLine::convert(WorkspaceSession &session, const QStringList &arguments)
{
    std::optional<WebCopyConversion> conversion =
        session.prepareConversion(arguments.value(0), arguments.value(1));
    if (!conversion)
        return Failed;
    const InterruptStop interrupt;
    m_out(webcopy::texts::checking());
    conversion->plan(interrupt.flag());
    // Stopped while looking, the run says so at once.
    if (!interrupt.flag()->load()) {
        const WebCopyConversion::Readiness readiness = conversion->mayStart();
        if (readiness.box)
            Messages::show(*readiness.box);
        switch (readiness.start) {
        case WebCopyConversion::Start::Go:
            break;
        case WebCopyConversion::Start::NothingToDo:
            return Done;
        case WebCopyConversion::Start::Refused:
            return Failed;
        }
    }
    RunOutcome outcome;
    {
        LinesAndPercent lines(m_out, m_percent);
        outcome = conversion->run(lines, interrupt.flag());
    }
    showClosingBox(outcome);
    return outcome.succeeded() ? Done : Failed;
}

int CommandLine::add(WorkspaceSession &session, const QStringList &arguments)
{
    NewProject project{arguments.at(0), {}};
    if (arguments.size() == 2) {
        project.episodeFolder = absoluteEpisodeFolder(arguments.at(1), QDir::currentPath());
        // Refused as the choosers refuse a folder that has gone.
        if (!files::folderExists(project.episodeFolder)) {
            Messages::error(Messages::withPath(arguments.at(1), files::texts::folderMissing()));
            return Failed;
        }
    }
    return session.add(project).done() ? Done : Failed;
}

int CommandLine::remove(WorkspaceSession &session, const QString &name)
{
    return session.remove(session.rowOf(name)).done() ? Done : Failed;
}

int CommandLine::check(WorkspaceSession &session, const QStringList &arguments)
{
    std::optional<int> row;
    if (!arguments.isEmpty())
        row = session.rowOf(arguments.first());
    const VideoCheckOutcome outcome = session.checkVideos(row);
    // A tab or line break inside a name would split its line.
    const auto field = [](QString text) {
        for (QChar &c : text) {
            if (c == u'\t' || c == u'\n' || c == u'\r')
                c = u'?';
        }
        return text;
    };
    for (const VideoCheckOutcome::Episode &episode : outcome.episodes) {
        const media::Verdict &verdict = episode.check.verdict;
        m_out(QStringList{field(episode.project), field(episode.fileName), verdict.text(), verdict.reason,
                          media::durationText(episode.check.seconds, media::DurationStyle::Clock)}
                  .join(u'\t'));
    }
    return outcome.status == CommandOutcome::Status::Done ? Done : Failed;
}

int CommandLine::list(WorkspaceSession &session)
{
    for (const QString &name : session.projects().names())
        m_out(name);
    // Names lost from a list that was not read whole are not listed.
    return session.projects().notReadWhole() ? Failed : Done;
}

} // namespace tessaly
