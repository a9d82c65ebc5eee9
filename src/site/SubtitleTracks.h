#pragma once

#include "files/OpenFolder.h"
#include "site/Subtitles.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tessaly {

struct EpisodeListing;
class OutputFolders;
class RunReport;

// The subtitle tracks of the new page set's players: each episode's
// subtitle files as WebVTT files with their cue scripts beside them, in
// `Web/Subtitle/<project>/`, one folder per project.
//
// A record in `Web/Subtitle` keeps, for each track, the subtitle file it
// was made from and that file's size and modification time, and for each
// file that gave no track its reason: a file unchanged since is not read
// again. A track file that is not as that run left it (a run cut off while
// writing it, a hand edit) is made anew.
class SubtitleTracks
{
public:
    SubtitleTracks(const OutputFolders &output, RunReport &report);

    struct ProjectTracks
    {
        // Per episode of the listing, in its order; `src` is the track's
        // address relative to the play page.
        QList<QList<subtitles::Track>> episodes;
        // "<subtitle file>: <reason>" for each file that gave no track.
        QStringList notes;
    };
    // The tracks of the project's episodes, made where the subtitle files
    // changed. Afterwards the project's folder holds these tracks and
    // nothing else; a project without any has no folder. A track file that
    // cannot be written is a failure line.
    ProjectTracks make(const QString &project, const QString &episodeFolder, const EpisodeListing &listing);
    // Removes the project's folder: its page has no tracks.
    void remove(const QString &project);
    // Removes the folders of all other projects and every file beside the
    // folders, the record apart.
    void keepOnly(const QSet<QByteArray> &projects);
    // Writes the record when it changed. One that cannot be written only
    // costs the next run its time.
    void save();

    // How many tracks this run made from their subtitle files.
    int made() const { return m_made; }

private:
    struct Track
    {
        QByteArray source;
        files::OpenFolder::Stamp sourceStamp;
        files::OpenFolder::Stamp webVtt;
        files::OpenFolder::Stamp script;
    };
    struct Refused
    {
        files::OpenFolder::Stamp stamp;
        QString reason;
    };
    struct ProjectRecord
    {
        QHash<QByteArray, Track> tracks;    // by the track file's name
        QHash<QByteArray, Refused> refused; // by the subtitle file's name
        bool operator==(const ProjectRecord &) const;
    };
    struct Source
    {
        const files::OpenFolder &folder;
        const QByteArray &name;
        const subtitles::SubtitleFile &file;
    };

    // Makes or keeps one track; false (with a note or a failure line) when
    // the subtitle file gives none.
    bool makeTrack(const Source &source, const files::OpenFolder &target, const QByteArray &trackName,
                   const QString &cueKey, const ProjectRecord &earlier, ProjectRecord &now,
                   QStringList &notes);
    void removeFolder(const QByteArray &name);
    void load();

    const files::OpenFolder &m_root;
    RunReport &m_report;
    QHash<QByteArray, ProjectRecord> m_record; // by the project folder's name
    bool m_changed = false;
    int m_made = 0;
};

} // namespace tessaly
