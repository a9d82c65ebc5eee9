#include "site/SubtitleTracks.h"

#include "catalogue/Episodes.h"
#include "files/VersionedJson.h"
#include "site/OutputFolders.h"
#include "site/PageValues.h"
#include "site/RunReport.h"
#include "site/SiteTexts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

namespace tessaly {

namespace {

using Stamp = files::OpenFolder::Stamp;

const QString Format = QStringLiteral("tessaly-subtitle-tracks");
constexpr int Version = 1;

QByteArray recordName()
{
    return QByteArrayLiteral(".tessaly-subtitles.json");
}

// Names as base64, so that any bytes survive; stamps as text, as the
// nanoseconds do not fit a JSON number.
QString nameText(const QByteArray &name)
{
    return QString::fromLatin1(name.toBase64());
}

QByteArray nameOf(const QJsonValue &value)
{
    return QByteArray::fromBase64(value.toString().toLatin1());
}

QString stampText(const Stamp &stamp)
{
    return QString::number(stamp.size) + u':' + QString::number(stamp.modified);
}

Stamp stampOf(const QJsonValue &value)
{
    const QStringList parts = value.toString().split(u':');
    if (parts.size() != 2)
        return {-1, -1};
    return {parts[0].toLongLong(), parts[1].toLongLong()};
}

QByteArray cueScriptName(const QByteArray &trackName)
{
    return trackName.chopped(4) + ".js";
}

} // namespace

bool SubtitleTracks::ProjectRecord::operator==(const ProjectRecord &other) const
{
    const auto sameTrack = [](const Track &a, const Track &b) {
        return a.source == b.source && a.sourceStamp == b.sourceStamp && a.webVtt == b.webVtt &&
               a.script == b.script;
    };
    if (tracks.size() != other.tracks.size() || refused.size() != other.refused.size())
        return false;
    for (auto at = tracks.cbegin(); at != tracks.cend(); ++at) {
        const auto theirs = other.tracks.constFind(at.key());
        if (theirs == other.tracks.cend() || !sameTrack(*at, *theirs))
            return false;
    }
    for (auto at = refused.cbegin(); at != refused.cend(); ++at) {
        const auto theirs = other.refused.constFind(at.key());
        if (theirs == other.refused.cend() || theirs->stamp != at->stamp || theirs->reason != at->reason)
            return false;
    }
    return true;
}

SubtitleTracks::SubtitleTracks(const OutputFolders &output, RunReport &report)
    : m_root(output.subtitle()), m_report(report)
{
    load();
}

void SubtitleTracks::load()
{
    const files::Outcome<QByteArray> bytes = m_root.readFile(recordName());
    if (!bytes)
        return;
    const std::optional<QJsonObject> root = files::versioned_json::read(*bytes, Format, Version);
    if (!root)
        return;
    for (const QJsonValue &projectValue : root->value(QStringLiteral("projects")).toArray()) {
        const QJsonObject project = projectValue.toObject();
        ProjectRecord record;
        for (const QJsonValue &value : project.value(QStringLiteral("tracks")).toArray()) {
            const QJsonObject track = value.toObject();
            record.tracks.insert(nameOf(track.value(QStringLiteral("file"))),
                                 {nameOf(track.value(QStringLiteral("source"))),
                                  stampOf(track.value(QStringLiteral("sourceStamp"))),
                                  stampOf(track.value(QStringLiteral("webVtt"))),
                                  stampOf(track.value(QStringLiteral("script")))});
        }
        for (const QJsonValue &value : project.value(QStringLiteral("refused")).toArray()) {
            const QJsonObject file = value.toObject();
            record.refused.insert(nameOf(file.value(QStringLiteral("source"))),
                                  {stampOf(file.value(QStringLiteral("sourceStamp"))),
                                   file.value(QStringLiteral("reason")).toString()});
        }
        m_record.insert(nameOf(project.value(QStringLiteral("name"))), record);
    }
}

void SubtitleTracks::save()
{
    if (!m_changed || !m_root.isOpen())
        return;
    QJsonArray projects;
    for (auto project = m_record.cbegin(); project != m_record.cend(); ++project) {
        QJsonArray tracks;
        for (auto track = project->tracks.cbegin(); track != project->tracks.cend(); ++track)
            tracks.append(QJsonObject{{QStringLiteral("file"), nameText(track.key())},
                                      {QStringLiteral("source"), nameText(track->source)},
                                      {QStringLiteral("sourceStamp"), stampText(track->sourceStamp)},
                                      {QStringLiteral("webVtt"), stampText(track->webVtt)},
                                      {QStringLiteral("script"), stampText(track->script)}});
        QJsonArray refused;
        for (auto file = project->refused.cbegin(); file != project->refused.cend(); ++file)
            refused.append(QJsonObject{{QStringLiteral("source"), nameText(file.key())},
                                       {QStringLiteral("sourceStamp"), stampText(file->stamp)},
                                       {QStringLiteral("reason"), file->reason}});
        projects.append(QJsonObject{{QStringLiteral("name"), nameText(project.key())},
                                    {QStringLiteral("tracks"), tracks},
                                    {QStringLiteral("refused"), refused}});
    }
    // The record only spares work: a run that cannot write it converts again.
    static_cast<void>(m_root.replaceFile(
        recordName(),
        files::versioned_json::bytes(Format, Version, QJsonObject{{QStringLiteral("projects"), projects}})));
    m_changed = false;
}

SubtitleTracks::ProjectTracks SubtitleTracks::make(const QString &project, const QString &episodeFolder,
                                                   const EpisodeListing &listing)
{
    ProjectTracks made;
    made.episodes.resize(listing.episodes.size());
    const QList<QList<subtitles::SubtitleFile>> found =
        subtitles::subtitlesOfEpisodes(listing.episodes, listing.otherFiles);
    const bool anySubtitle =
        std::any_of(found.cbegin(), found.cend(), [](const auto &files) { return !files.isEmpty(); });
    if (!anySubtitle || !m_root.isOpen()) {
        remove(project);
        return made;
    }
    const QByteArray projectName = files::OpenFolder::nameOf(project);
    // Only a folder of its own is used: a link there could lead to another
    // project's tracks, which this clean-up would remove.
    if (m_root.holdsEntry(projectName)) {
        if (const files::Outcome<void> removed = m_root.remove(projectName); !removed) {
            m_report.cannotDelete(m_root.pathOf(projectName), removed.failure().reason);
            return made;
        }
    }
    const files::OpenFolder target = m_root.plainSubfolder(projectName, true);
    if (!target.isOpen()) {
        m_report.cannotWrite(target.path(), target.error());
        return made;
    }
    target.removeTemporaries();
    const files::OpenFolder sources(episodeFolder);
    const ProjectRecord earlier = m_record.take(projectName);
    ProjectRecord now;
    const QString folderPiece = QStringLiteral("../Subtitle/") + page::urlPathPieceStrict(project) + u'/';
    QSet<QByteArray> wanted;
    for (qsizetype e = 0; e < found.size(); ++e) {
        QList<subtitles::SubtitleFile> usable;
        QStringList addresses;
        for (const subtitles::SubtitleFile &file : found[e]) {
            const QByteArray trackName = listing.encodedEpisodes[e] + '.' +
                                         QByteArray::number(usable.size() + 1) + QByteArrayLiteral(".vtt");
            // The page finds a track's cues by the last piece of its address.
            const QString piece = page::fileNameUrlPieceStrict(trackName, QFile::decodeName(trackName));
            const Source source{sources, listing.encodedOtherFiles[file.listIndex], file};
            if (!makeTrack(source, target, trackName, piece, earlier, now, made.notes))
                continue;
            usable.append(file);
            addresses.append(folderPiece + piece);
            wanted.insert(trackName);
            wanted.insert(cueScriptName(trackName));
        }
        made.episodes[e] = subtitles::tracksOf(listing.episodes[e], usable);
        for (qsizetype i = 0; i < usable.size(); ++i)
            made.episodes[e][i].src = addresses[i];
    }
    const files::Listing present = target.listFiles();
    for (const QByteArray &name : present.encodedEntries) {
        if (wanted.contains(name))
            continue;
        if (const files::Outcome<void> removed = target.remove(name); !removed)
            m_report.cannotDelete(target.pathOf(name), removed.failure().reason);
    }
    if (wanted.isEmpty())
        removeFolder(projectName);
    if (!now.tracks.isEmpty() || !now.refused.isEmpty())
        m_record.insert(projectName, now);
    m_changed = m_changed || !(now == earlier);
    return made;
}

bool SubtitleTracks::makeTrack(const Source &source, const files::OpenFolder &target,
                               const QByteArray &trackName, const QString &cueKey,
                               const ProjectRecord &earlier, ProjectRecord &now, QStringList &notes)
{
    const QString fileName = source.file.fileName;
    const auto refuse = [&](const Stamp &stamp, const QString &reason) {
        now.refused.insert(source.name, {stamp, reason});
        notes.append(fileName + QStringLiteral(": ") + reason);
        return false;
    };
    const auto unreadable = [&](const QString &reason) {
        notes.append(site::texts::cannotRead(source.folder.pathOf(source.name), reason));
        return false;
    };
    const std::optional<Stamp> stamp = source.folder.fileStamp(source.name);
    if (!stamp) {
        // Not a regular file (or gone): reading it says why.
        const files::Outcome<QByteArray> read = source.folder.readFile(source.name);
        return unreadable(read ? QString() : read.failure().reason);
    }
    if (const auto known = earlier.refused.constFind(source.name);
        known != earlier.refused.cend() && known->stamp == *stamp)
        return refuse(*stamp, known->reason);
    const QByteArray scriptName = cueScriptName(trackName);
    if (const auto known = earlier.tracks.constFind(trackName);
        known != earlier.tracks.cend() && known->source == source.name && known->sourceStamp == *stamp &&
        target.fileStamp(trackName, false) == known->webVtt &&
        target.fileStamp(scriptName, false) == known->script) {
        now.tracks.insert(trackName, *known);
        return true;
    }
    if (stamp->size > subtitles::MaximumFileBytes)
        return refuse(*stamp, subtitles::tooLargeReason());
    const files::Outcome<QByteArray> bytes = source.folder.readFile(source.name);
    if (!bytes)
        return unreadable(bytes.failure().reason);
    const subtitles::Conversion conversion = subtitles::convert(*bytes, source.file.format);
    if (!conversion.ok())
        return refuse(*stamp, conversion.reason);
    // Replaced whole: a later run keeps a track it finds as recorded.
    for (const auto &[name, content] :
         {std::pair{trackName, subtitles::webVttBytes(conversion.cues)},
          std::pair{scriptName, subtitles::cueScriptBytes(cueKey, conversion.cues)}}) {
        if (const files::Outcome<void> written = target.replaceFile(name, content); !written) {
            m_report.cannotWrite(target.pathOf(name), written.failure().reason);
            return false;
        }
    }
    const std::optional<Stamp> webVtt = target.fileStamp(trackName, false);
    const std::optional<Stamp> script = target.fileStamp(scriptName, false);
    if (webVtt && script)
        now.tracks.insert(trackName, {source.name, *stamp, *webVtt, *script});
    ++m_made;
    return true;
}

void SubtitleTracks::removeFolder(const QByteArray &name)
{
    if (m_root.holdsEntry(name)) {
        if (const files::Outcome<void> removed = m_root.remove(name); !removed)
            m_report.cannotDelete(m_root.pathOf(name), removed.failure().reason);
        return;
    }
    const files::OpenFolder folder = m_root.plainSubfolder(name, false);
    if (!folder.isOpen())
        return;
    folder.removeTemporaries();
    for (const QByteArray &file : folder.listFiles().encodedEntries) {
        if (const files::Outcome<void> removed = folder.remove(file); !removed)
            m_report.cannotDelete(folder.pathOf(file), removed.failure().reason);
    }
    if (const files::Outcome<void> removed = m_root.removeFolder(name); !removed)
        m_report.cannotDelete(m_root.pathOf(name), removed.failure().reason);
}

void SubtitleTracks::remove(const QString &project)
{
    const QByteArray name = files::OpenFolder::nameOf(project);
    if (!m_root.isOpen())
        return;
    removeFolder(name);
    if (m_record.remove(name) > 0)
        m_changed = true;
}

void SubtitleTracks::keepOnly(const QSet<QByteArray> &projects)
{
    if (!m_root.isOpen())
        return;
    for (const QByteArray &name : m_root.listFolders().encodedEntries) {
        if (!projects.contains(name))
            removeFolder(name);
    }
    for (const QByteArray &name : m_root.listFiles().encodedEntries) {
        if (const files::Outcome<void> removed = m_root.remove(name); !removed)
            m_report.cannotDelete(m_root.pathOf(name), removed.failure().reason);
    }
    for (auto at = m_record.begin(); at != m_record.end();) {
        if (projects.contains(at.key())) {
            ++at;
        } else {
            at = m_record.erase(at);
            m_changed = true;
        }
    }
}

} // namespace tessaly
