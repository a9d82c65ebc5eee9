#pragma once

#include "files/NaturalOrder.h"
#include "site/Placeholders.h"
#include "site/SubtitleTracks.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessaly {

namespace files {
struct Listing;
}
struct EpisodeListing;
class EpisodeFactsProvider;
class OutputFolders;
class RunReport;
class Workspace;
struct WorkingTemplates;

// What one project's episode folder gives its pages.
struct ProjectContent
{
    QString name;
    QString relativeFolder;
    QByteArray firstEpisode; // the file name's bytes
    QString firstWebCopy;    // the first episode's web copy (see `EpisodeFacts::webCopy`)
    QString episodeCount;    // empty when no folder is set
    bool listed = true;      // false when the folder could not be listed: the project is skipped
    QString buttonList;      // the buttons, joined by CR LF
    QString functionList;    // the functions, joined by CR LF
    // The new page set's: the episodes as a JSON array, and the sum of
    // their durations when every one is known.
    QString episodes;
    std::optional<double> totalSeconds;
    // The episodes' folder and file names (and the names' bytes), in the
    // order of the page.
    QString episodeFolder;
    QStringList episodeNames;
    QList<QByteArray> encodedEpisodeNames;
    // The subtitle files that gave no track, as lines of the run.
    QStringList subtitleNotes;
};

// A listed project as a run finds it before anything is cleared: whether its
// name can name files, and its episode folder from its settings file, or
// why that file or that folder could not be read (the project is then
// skipped and keeps its old page and cover: a disk not mounted never
// publishes an empty player over a good one).
struct ProjectSource
{
    QString name;
    bool usableName = true;
    QString episodeFolder;
    bool usableFolder = true;
    QString settingsFile;     // set when it could not be read
    QString unreadableReason; // empty when the settings file was read or is missing
    QString folderReason;     // why the episode folder cannot be listed; empty when it can, or is unset

    bool skipped() const
    {
        return !usableName || !unreadableReason.isEmpty() || !usableFolder || !folderReason.isEmpty();
    }
};

// Every listed project's source, in list order.
QList<ProjectSource> readProjectSources(const Workspace &workspace, const QStringList &names);

// The per-project work shared by whole-site generation and the project
// update: cover, episode listing and the play page.
class ProjectPages
{
public:
    enum class Lines
    {
        WholeSite,
        Update
    };

    ProjectPages(const Workspace &workspace, const OutputFolders &output, const WorkingTemplates &templates,
                 const QString &movieRoot, files::NameOrder episodeOrder, RunReport &report, Lines lines,
                 const EpisodeFactsProvider &facts);

    // "读取<name>文件路径..."; for a skipped project its failure line, and
    // false. The caller then goes on with the next project.
    bool announce(const ProjectSource &source);
    // From the relative path line to the episode lists; writes the default
    // cover when the project has none. A folder that cannot be listed is
    // said where its episodes would be, and the content is not `listed`.
    ProjectContent read(const ProjectSource &source);
    // The cover cell of the index page, without row break.
    QString coverCell(const ProjectContent &content) const;
    // "影片<name>播放页面内容生成..." and the play page itself.
    void writePlayPage(const ProjectContent &content);
    // A line for each subtitle file of the project that gave no track: a
    // note, not an error.
    void noteSubtitles(const ProjectContent &content);
    // The new page set's subtitle tracks; the run cleans and saves them.
    SubtitleTracks &subtitles() { return m_subtitles; }

private:
    void ensureCover(const QString &name);
    void listEpisodes(const QString &folder, ProjectContent &content);
    void fillClassicLists(const QString &folder, const EpisodeListing &listing, ProjectContent &content);
    void fillModernLists(const QString &folder, const EpisodeListing &listing,
                         const QList<QList<subtitles::Track>> &tracks, ProjectContent &content);

    const Workspace &m_workspace;
    const OutputFolders &m_output;
    const WorkingTemplates &m_templates;
    QString m_movieRoot;
    files::NameOrder m_episodeOrder;
    RunReport &m_report;
    Lines m_lines;
    const EpisodeFactsProvider &m_facts;
    bool m_modern;
    TemplateFiller m_function;
    TemplateFiller m_button;
    TemplateFiller m_coverCell;
    TemplateFiller m_playPage;
    SubtitleTracks m_subtitles;
};

} // namespace tessaly
