#include "app/WorkspaceSession.h"

#include "app/WorkspaceCommands.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/Episodes.h"
#include "catalogue/ProjectRemoval.h"
#include "catalogue/ProjectRenaming.h"
#include "catalogue/ProjectSelection.h"
#include "covers/CoverTexts.h"
#include "covers/VideoCovers.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "platform/Messages.h"
#include "settings/EditedSettings.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "site/PageSet.h"
#include "site/Progress.h"
#include "site/ProjectPages.h"
#include "site/StyleValues.h"
#include "site/VideoCheck.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly {

namespace {

CommandOutcome::Status statusOf(bool done)
{
    return done ? CommandOutcome::Status::Done : CommandOutcome::Status::Refused;
}

// A refusal said when it has words; an update of an empty list has none.
template <typename T> std::optional<T> saidIfRefused(files::Outcome<T> prepared)
{
    if (prepared)
        return std::move(prepared).value();
    if (const QString text = prepared.failure().text(); !text.isEmpty())
        Messages::error(text);
    return std::nullopt;
}

RunOutcome refusedRun()
{
    RunOutcome outcome;
    outcome.refused = true;
    return outcome;
}

} // namespace

void showClosingBox(const RunOutcome &outcome)
{
    if (outcome.box)
        Messages::show(*outcome.box);
}

WorkspaceSession::WorkspaceSession(const QString &root) : m_workspace(root), m_lock(m_workspace) {}

QString WorkspaceSession::firstPageset()
{
    return page_set::modernName();
}

void WorkspaceSession::releaseLock()
{
    m_lock.release();
}

bool WorkspaceSession::takeLockAgain()
{
    const files::Outcome<void> locked = m_lock.acquire();
    if (!locked)
        Messages::error(locked.failure().text());
    return locked.ok();
}

bool WorkspaceSession::open(Access access, MissingFolder missing)
{
    const bool readOnly = access == Access::ReadOnly;
    const QString root = m_workspace.root();
    // A workspace not made yet has no projects to list, and listing makes nothing.
    if (readOnly && !QFileInfo::exists(root))
        return true;
    if (!files::folderExists(root)) {
        if (readOnly || missing == MissingFolder::Refuse) {
            Messages::error(Messages::withPath(root, files::texts::folderMissing()));
            return false;
        }
        // The folder is made, but nothing inside it before the lock is held.
        // mkpath keeps no reason: the last folder is made once more to learn it.
        if (!QDir().mkpath(root)) {
            if (const files::Outcome<void> made = files::makeFolder(root); !made) {
                Messages::error(made.failure().text());
                return false;
            }
        }
    }
    if (const files::Outcome<void> locked = m_lock.acquire();
        !locked && !(readOnly && m_lock.refusal() == WorkspaceLock::Refusal::CannotCreate)) {
        Messages::error(locked.failure().text());
        return false;
    }
    if (!readOnly) {
        // A workspace without settings has never been opened: it is made
        // complete, with the default style and the new page set, so that
        // its first start says nothing about a missing style file.
        const bool madeFromNothing = !QFileInfo::exists(m_workspace.setting());
        const QStringList folderFailures = m_workspace.createFolders();
        if (!folderFailures.isEmpty())
            Messages::error(folderFailures.join(QStringLiteral("\r\n")));
        if (madeFromNothing)
            writeFirstStyle();
    }
    const QString listFile = m_workspace.listFile();
    if (m_projects.load(listFile) == ProjectList::LoadResult::Unreadable)
        Messages::error(ProjectList::unreadableText(listFile));
    if (readOnly)
        return true;
    loadStyle();
    const QString unusable = unusableRunInputsText(m_workspace, m_templates);
    if (!unusable.isEmpty())
        Messages::error(unusable);
    return true;
}

void WorkspaceSession::writeFirstStyle()
{
    const QString styleFile = m_workspace.styleFile();
    if (QFileInfo::exists(styleFile) || !files::folderExists(m_workspace.style()))
        return;
    if (const files::Outcome<void> saved =
            style_values::saveWithPageset(m_workspace, style_values::defaults(), firstPageset());
        !saved)
        Messages::error(saved.failure().text());
}

template <typename Command> void WorkspaceSession::changeList(Command command)
{
    ProjectList changed = m_projects;
    const ListChange change = command(changed);
    takeOver(std::move(changed), change);
}

void WorkspaceSession::takeOver(ProjectList changed, ListChange change)
{
    if (!m_observer || change.kind == ListChange::Kind::None) {
        m_projects = std::move(changed);
        return;
    }
    switch (change.kind) {
    case ListChange::Kind::Insert:
        m_observer->beginInsertRow(change.row);
        m_projects = std::move(changed);
        m_observer->endInsertRow();
        break;
    case ListChange::Kind::Remove:
        m_observer->beginRemoveRow(change.row);
        m_projects = std::move(changed);
        m_observer->endRemoveRow();
        break;
    case ListChange::Kind::Move:
        m_observer->beginMoveRow(change.row, change.to);
        m_projects = std::move(changed);
        m_observer->endMoveRow();
        break;
    case ListChange::Kind::None:
        break;
    }
}

CommandOutcome WorkspaceSession::add(const NewProject &project)
{
    CreationResult result = CreationResult::Ignored;
    changeList([&](ProjectList &projects) {
        const ProjectCreation creation = createProject(m_workspace, projects, project);
        // Said before the list's observer hears of any change.
        if (!creation.failures.isEmpty())
            Messages::error(creation.failureText());
        result = creation.result;
        return result == CreationResult::Created ? ListChange::inserted(0) : ListChange{};
    });
    switch (result) {
    case CreationResult::Created:
        return CommandOutcome::of(CommandOutcome::Status::Done, 0);
    case CreationResult::Ignored:
        return CommandOutcome::of(CommandOutcome::Status::Ignored);
    case CreationResult::Refused:
        return CommandOutcome::of(CommandOutcome::Status::Refused);
    case CreationResult::ListNotSaved:
        break;
    }
    return CommandOutcome::of(CommandOutcome::Status::Failed);
}

CommandOutcome WorkspaceSession::remove(int row)
{
    if (row < 0 || row >= m_projects.size()) {
        Messages::error(catalogue::texts::noContent());
        return CommandOutcome::of(CommandOutcome::Status::Refused);
    }
    bool done = false;
    changeList([&](ProjectList &projects) {
        const ProjectDeletion deletion = deleteProject(m_workspace, projects, row);
        // Said before the list's observer hears of the row that could not
        // be brought back.
        if (!deletion.failures.isEmpty())
            Messages::error(deletion.failureText());
        done = deletion.deleted;
        return deletion.rowRemoved ? ListChange::removed(row) : ListChange{};
    });
    if (!done)
        return CommandOutcome::of(CommandOutcome::Status::Failed);
    Messages::information(deletedText());
    return CommandOutcome::of(CommandOutcome::Status::Done);
}

CommandOutcome WorkspaceSession::move(int row, Move move)
{
    int (ProjectList::*step)(int) = nullptr;
    switch (move) {
    case Move::Up:
        step = &ProjectList::moveUp;
        break;
    case Move::Down:
        step = &ProjectList::moveDown;
        break;
    case Move::ToFirst:
        step = &ProjectList::moveToFirst;
        break;
    case Move::ToLast:
        step = &ProjectList::moveToLast;
        break;
    }
    if (row < 0 || row >= m_projects.size())
        return CommandOutcome::of(CommandOutcome::Status::Ignored);
    ProjectList probe = m_projects;
    return moveTo(row, (probe.*step)(row));
}

CommandOutcome WorkspaceSession::moveTo(int row, int target)
{
    if (row < 0 || row >= m_projects.size())
        return CommandOutcome::of(CommandOutcome::Status::Ignored);
    const QString listFile = m_workspace.listFile();
    if (const files::Outcome<void> may = listMayChange(m_projects, listFile); !may) {
        Messages::error(may.failure().text());
        return CommandOutcome::of(CommandOutcome::Status::Refused, row);
    }
    // The list is saved before the rows change: a list that cannot be saved
    // keeps the rows the file has.
    ProjectList moved = m_projects;
    const int movedTo = moved.moveToRow(row, target);
    if (movedTo == row)
        return CommandOutcome::of(CommandOutcome::Status::Done, row);
    if (const files::Outcome<void> saved = moved.save(listFile); !saved) {
        Messages::error(saved.failure().text());
        return CommandOutcome::of(CommandOutcome::Status::Failed, row);
    }
    takeOver(std::move(moved), ListChange::moved(row, movedTo));
    return CommandOutcome::of(CommandOutcome::Status::Done, movedTo);
}

CommandOutcome WorkspaceSession::rename(int row, const QString &newName)
{
    if (row < 0 || row >= m_projects.size()) {
        Messages::error(catalogue::texts::noContent());
        return CommandOutcome::of(CommandOutcome::Status::Refused);
    }
    ProjectList renamed = m_projects;
    const ProjectRenaming renaming = renameProject(m_workspace, renamed, row, newName);
    if (!renaming.failures.isEmpty())
        Messages::error(renaming.failureText());
    if (renaming.listChanged) {
        m_projects = std::move(renamed);
        if (m_observer)
            m_observer->rowChanged(row);
    }
    switch (renaming.result) {
    case RenameResult::Renamed:
    case RenameResult::Unchanged:
        return CommandOutcome::of(CommandOutcome::Status::Done, row);
    case RenameResult::Ignored:
        return CommandOutcome::of(CommandOutcome::Status::Ignored, row);
    case RenameResult::Refused:
        return CommandOutcome::of(CommandOutcome::Status::Refused, row);
    case RenameResult::Failed:
        break;
    }
    return CommandOutcome::of(CommandOutcome::Status::Failed, row);
}

CommandOutcome WorkspaceSession::setEpisodeFolder(const QString &project, const QString &folder)
{
    // A hand-edited list may hold a name that cannot be a file name; its
    // settings file must never be written.
    if (!isUsableProjectName(project)) {
        Messages::error(unusableProjectNameText(project));
        return CommandOutcome::of(CommandOutcome::Status::Refused);
    }
    if (const files::Outcome<void> set = settings::setEpisodeFolder(m_workspace, project, folder); !set) {
        Messages::error(set.failure().text());
        return CommandOutcome::of(CommandOutcome::Status::Failed);
    }
    return CommandOutcome::of(CommandOutcome::Status::Done, rowOf(project));
}

CommandOutcome WorkspaceSession::setCover(const QString &project, const QString &picture)
{
    if (!isUsableProjectName(project)) {
        Messages::error(unusableProjectNameText(project));
        return CommandOutcome::of(CommandOutcome::Status::Refused);
    }
    const QString coverFile = m_workspace.coverFile(project);
    // A failure names the picture when it cannot be read, the cover file
    // when that cannot be written.
    if (const files::Outcome<void> copied = files::copyFileReplacing(picture, coverFile); !copied) {
        Messages::error(copied.failure().text());
        return CommandOutcome::of(CommandOutcome::Status::Failed);
    }
    return CommandOutcome::of(CommandOutcome::Status::Done, rowOf(project));
}

CommandOutcome WorkspaceSession::saveSettings(const EditedSettings &settings)
{
    const files::Outcome<void> saved = settings.save(m_workspace);
    if (!saved)
        Messages::error(saved.failure().text());
    return CommandOutcome::of(statusOf(saved.ok()));
}

void WorkspaceSession::loadStyle()
{
    m_templates = UpdateStyle(m_workspace, m_templates);
    if (m_templates.box)
        Messages::show(*m_templates.box);
}

std::optional<SiteRun> WorkspaceSession::prepareGeneration()
{
    loadStyle();
    std::optional<SiteRun> run =
        saidIfRefused(SiteRun::prepareWholeSite(m_workspace, m_projects, m_templates));
    if (run)
        run->setServerProbe(m_probe);
    return run;
}

std::optional<SiteRun> WorkspaceSession::prepareUpdate(int row)
{
    loadStyle();
    std::optional<SiteRun> run =
        saidIfRefused(SiteRun::prepareUpdate(m_workspace, m_projects, m_templates, row));
    if (run)
        run->setServerProbe(m_probe);
    return run;
}

RunOutcome WorkspaceSession::generate(ProgressSink &sink)
{
    const std::optional<SiteRun> run = prepareGeneration();
    if (!run)
        return refusedRun();
    sink.beginWholeSiteRun();
    const RunOutcome outcome = run->run(sink);
    showClosingBox(outcome);
    sink.endWholeSiteRun();
    return outcome;
}

RunOutcome WorkspaceSession::update(int row, ProgressSink &sink)
{
    const std::optional<SiteRun> run = prepareUpdate(row);
    if (!run)
        return refusedRun();
    const RunOutcome outcome = run->run(sink);
    showClosingBox(outcome);
    return outcome;
}

std::optional<WebCopyConversion> WorkspaceSession::prepareConversion(const QString &project,
                                                                     const QString &episode) const
{
    WebCopyConversion::Choice choice{project, episode};
    if (!episode.isEmpty() && m_projects.indexOf(project) >= 0 && isUsableProjectName(project)) {
        const ProjectDetails details = readProjectDetails(m_workspace, project);
        const std::optional<QString> found = covers::findEpisode(details.episodes, episode);
        if (!found) {
            Messages::error(Messages::withPath(files::joinPath(details.episodeFolder, episode),
                                               covers::texts::noSuchEpisode()));
            return std::nullopt;
        }
        choice.episode = *found;
    }
    return saidIfRefused(WebCopyConversion::prepare(m_workspace, m_projects.names(), choice));
}

namespace {

// Why a project's episodes cannot be listed, as a run says it; empty when
// they can, or when it has no folder.
QString listingFailure(const ProjectSource &source)
{
    if (!source.usableName)
        return unusableProjectNameText(source.name);
    if (!source.unreadableReason.isEmpty())
        return Messages::withPath(source.settingsFile, source.unreadableReason);
    if (!source.usableFolder)
        return settings::unusableEpisodeFolderText(source.episodeFolder);
    if (!source.folderReason.isEmpty())
        return Messages::withPath(source.episodeFolder, source.folderReason);
    return {};
}

} // namespace

VideoCheckOutcome WorkspaceSession::checkVideos(std::optional<int> row)
{
    VideoCheckOutcome outcome;
    QStringList names = m_projects.names();
    if (row) {
        if (*row < 0 || *row >= names.size()) {
            Messages::error(QStringLiteral("没有内容!"));
            outcome.status = CommandOutcome::Status::Refused;
            return outcome;
        }
        names = QStringList{names.at(*row)};
    }
    const files::NameOrder order = settings::episodeOrder(m_workspace);
    media::FactsCache cache(videoFactsFile(m_workspace));
    for (const ProjectSource &source : readProjectSources(m_workspace, names)) {
        QString failure = listingFailure(source);
        EpisodeListing listing;
        if (failure.isEmpty() && !source.episodeFolder.isEmpty()) {
            listing = listEpisodes(source.episodeFolder, order);
            // Gone since its source was read.
            if (!listing.ok())
                failure = Messages::withPath(
                    source.episodeFolder, listing.isFolder ? listing.error : QStringLiteral("文件夹不存在"));
        }
        if (!failure.isEmpty()) {
            Messages::error(failure);
            outcome.status = CommandOutcome::Status::Failed;
            continue;
        }
        if (listing.episodes.isEmpty())
            continue;
        // By the names' bytes, which a name that is not UTF-8 needs.
        media::FactsCache::InFolder folder(cache, source.episodeFolder);
        for (qsizetype i = 0; i < listing.episodes.size(); ++i)
            outcome.episodes.append(
                {source.name, listing.episodes.at(i), folder.check(listing.encodedEpisodes.at(i))});
    }
    // A cache that cannot be written only costs the next check its time.
    static_cast<void>(cache.save());
    return outcome;
}

namespace {

CommandOutcome clearAndSay(const workspace_commands::FolderClearing &clearing)
{
    const workspace_commands::ClearResult result = workspace_commands::clearFolderFiles(clearing.folder);
    if (result.folderMissing)
        return CommandOutcome::of(CommandOutcome::Status::Ignored);
    if (!result.ok()) {
        Messages::error(result.failureText());
        return CommandOutcome::of(CommandOutcome::Status::Failed);
    }
    Messages::information(clearing.doneText);
    return CommandOutcome::of(CommandOutcome::Status::Done);
}

} // namespace

CommandOutcome WorkspaceSession::clearCache()
{
    return clearAndSay(workspace_commands::cacheClearing(m_workspace));
}

CommandOutcome WorkspaceSession::clearLogs()
{
    return clearAndSay(workspace_commands::logClearing(m_workspace));
}

} // namespace tessaly
