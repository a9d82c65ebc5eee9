#include "catalogue/ProjectRenaming.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectNames.h"
#include "files/FileTexts.h"
#include "files/OpenFolder.h"
#include "files/Reasons.h"
#include "workspace/Workspace.h"

#include <QSet>
#include <QStringList>
#include <cerrno>
#include <vector>

namespace tessaly {

namespace {

// One of the project's files, where it lives and what it is called.
struct RenamedFile
{
    const files::OpenFolder *folder = nullptr;
    QByteArray oldName;
    QByteArray newName;
    // Both names lead to the file already: the file system takes them for
    // one (the file goes through `temporary`), or a rename stopped part way
    // linked it (it stays linked).
    bool sameName = false;
    QByteArray temporary;
    bool linked = false;
};

// The folders of a project's files, opened once; the output folders only
// where a link does not take them out of `Web`.
struct ProjectFolders
{
    explicit ProjectFolders(const Workspace &workspace)
        : setting(workspace.setting()), web(workspace.web()),
          data(web.subfolder(QStringLiteral("Data"), false)),
          image(web.subfolder(QStringLiteral("Image"), false))
    {}

    files::OpenFolder setting;
    files::OpenFolder web;
    files::OpenFolder data;
    files::OpenFolder image;
};

class Renaming
{
public:
    Renaming(const std::function<void()> &afterEachStep) : m_afterEachStep(afterEachStep) {}

    std::vector<RenamedFile> files;

    void step() const
    {
        if (m_afterEachStep)
            m_afterEachStep();
    }

    // Under the new name (or the temporary one) for every file that has one
    // yet; false at the first failure, whose text is kept.
    bool linkAll()
    {
        for (RenamedFile &file : files) {
            if (file.linked)
                continue;
            if (file.sameName) {
                const files::Outcome<QByteArray> temporary = file.folder->linkTemporary(file.oldName);
                if (!temporary)
                    return fail(file.folder->pathOf(file.oldName), temporary.failure().reason);
                file.temporary = *temporary;
            } else if (const files::Outcome<void> linked = file.folder->link(file.oldName, file.newName);
                       !linked) {
                return fail(file.folder->pathOf(file.newName), linked.failure().reason);
            }
            file.linked = true;
            step();
        }
        return true;
    }

    // The links reach the disk before the list names them.
    bool syncLinks()
    {
        QSet<quint64> synced;
        for (const RenamedFile &file : files) {
            if (synced.contains(file.folder->fileSystem()))
                continue;
            synced.insert(file.folder->fileSystem());
            if (const files::Outcome<void> onDisk = file.folder->syncFileSystem(); !onDisk)
                return fail(file.folder->path(), onDisk.failure().reason);
        }
        return true;
    }

    // Removes the new names again; what cannot be removed is added to the
    // failure.
    void unlinkAll()
    {
        for (RenamedFile &file : files) {
            if (!file.linked)
                continue;
            const QByteArray &made = file.sameName ? file.temporary : file.newName;
            if (const files::Outcome<void> removed = file.folder->remove(made); !removed)
                m_failures.append({file.folder->pathOf(made), removed.failure().reason});
            file.linked = false;
        }
    }

    // The old names go; where the file system takes both names for one, the
    // temporary name is renamed over the one entry both names lead to,
    // which is the file itself, so that it never lacks a name.
    void removeOldNames(bool keepOldNames)
    {
        for (const RenamedFile &file : files) {
            if (file.sameName) {
                // Names that no longer lead to one file are not renamed, and no reason is known.
                const files::Outcome<void> renamed = file.folder->holdsSameFile(file.temporary, file.newName)
                                                         ? file.folder->rename(file.temporary, file.newName)
                                                         : files::Outcome<void>(files::Failure{});
                if (!renamed)
                    m_failures.append({file.folder->pathOf(file.temporary), renamed.failure().reason});
            } else if (!keepOldNames) {
                if (const files::Outcome<void> removed = file.folder->remove(file.oldName); !removed)
                    m_failures.append({file.folder->pathOf(file.oldName), removed.failure().reason});
            }
            step();
        }
    }

    bool fail(const QString &path, const QString &reason)
    {
        m_failures.append({path, reason});
        return false;
    }
    void addFailure(const files::Failure &failure) { m_failures.append(failure); }
    bool failed() const { return !m_failures.isEmpty(); }
    const QList<files::Failure> &failures() const { return m_failures; }

private:
    const std::function<void()> &m_afterEachStep;
    QList<files::Failure> m_failures;
};

} // namespace

QString ProjectRenaming::failureText() const
{
    return catalogue::texts::joined(failures);
}

ProjectRenaming renameProject(const Workspace &workspace, ProjectList &projects, int row,
                              const QString &newName, const std::function<void()> &afterEachStep)
{
    ProjectRenaming renaming;
    if (row < 0 || row >= projects.size() || newName.isEmpty())
        return renaming;
    const auto refuse = [&renaming](const files::Failure &failure) {
        renaming.result = RenameResult::Refused;
        renaming.failures.append(failure);
        return renaming;
    };
    const QString listFile = workspace.listFile();
    if (const files::Outcome<void> may = listMayChange(projects, listFile); !may)
        return refuse(may.failure());
    const QStringList rows = projects.names();
    const QString oldName = rows.at(row);
    if (newName == oldName) {
        renaming.result = RenameResult::Unchanged;
        return renaming;
    }
    QStringList others = rows;
    others.removeAt(row);
    if (const QString refusal = names::refusalFor(newName, others); !refusal.isEmpty())
        return refuse({{}, refusal});

    // A name that cannot be a file name owns no files: only its row changes.
    const ProjectFolders folders(workspace);
    Renaming work(afterEachStep);
    if (isUsableProjectName(oldName)) {
        const bool caseOnly = oldName.compare(newName, Qt::CaseInsensitive) == 0;
        const std::pair<const files::OpenFolder *, QString> places[] = {
            {&folders.setting, QStringLiteral(".ini")},
            {&folders.data, QStringLiteral(".html")},
            {&folders.image, QStringLiteral(".jpg")}};
        for (const auto &[folder, suffix] : places) {
            if (folder->isOutside())
                return refuse({folder->path(), files::texts::linkLeadsOutside()});
            RenamedFile file;
            file.folder = folder;
            file.oldName = files::OpenFolder::nameOf(oldName + suffix);
            file.newName = files::OpenFolder::nameOf(newName + suffix);
            const bool linkedAlready = folder->holdsSameFile(file.oldName, file.newName);
            file.sameName = caseOnly && linkedAlready;
            file.linked = !caseOnly && linkedAlready;
            // Never over a file left by another project, nor a folder.
            if (!linkedAlready && folder->holdsName(file.newName))
                return refuse({folder->pathOf(file.newName), files::reasonFor(EEXIST)});
            if (folder->holdsEntry(file.oldName))
                work.files.push_back(file);
        }
    }

    const auto fail = [&renaming, &work] {
        renaming.result = RenameResult::Failed;
        renaming.failures = work.failures();
        return renaming;
    };
    if (!work.linkAll() || !work.syncLinks()) {
        work.unlinkAll();
        return fail();
    }
    QStringList renamedRows = rows;
    renamedRows[row] = newName;
    projects.setNames(renamedRows);
    if (const files::Outcome<void> saved = projects.save(listFile); !saved) {
        projects.setNames(rows);
        work.addFailure(saved.failure());
        work.unlinkAll();
        return fail();
    }
    renaming.listChanged = true;
    work.step();

    // Another row of the old name (a hand-edited list) keeps its files.
    work.removeOldNames(others.contains(oldName));
    if (work.failed())
        return fail();
    renaming.result = RenameResult::Renamed;
    return renaming;
}

} // namespace tessaly
