#include "catalogue/ProjectCreation.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectNames.h"
#include "files/FileServices.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>

namespace tessaly {

namespace {

// Checks the name against the listed ones and records the episode folder in
// `<name>.ini` when one is given; on a failure nothing has changed.
files::Outcome<void> recordNewProject(const Workspace &workspace, const QStringList &existingNames,
                                      const NewProject &project)
{
    if (const QString refusal = names::refusalFor(project.name, existingNames); !refusal.isEmpty())
        return files::Failure{{}, refusal};
    if (project.episodeFolder.isEmpty())
        return {};
    if (const QString pathRefusal = settings::recordedPathRefusal(project.episodeFolder);
        !pathRefusal.isEmpty())
        return files::Failure{{}, pathRefusal};
    return settings::setEpisodeFolder(workspace, project.name, project.episodeFolder);
}

} // namespace

QString ProjectCreation::failureText() const
{
    return catalogue::texts::joined(failures);
}

ProjectCreation createProject(const Workspace &workspace, ProjectList &projects, const NewProject &project)
{
    ProjectCreation creation;
    if (project.name.isEmpty())
        return creation;
    creation.result = CreationResult::Refused;
    // A list that could not be read is never saved; that is said before
    // anything is written for the new project.
    if (const files::Outcome<void> may = listMayChange(projects, workspace.listFile()); !may) {
        creation.failures.append(may.failure());
        return creation;
    }
    // A settings file of this name may be left by a deleted project and name
    // its old folder: kept as it is, to be put back when the list cannot be
    // saved, since the project is then not created.
    const QString settingsFile = workspace.projectSettingsFile(project.name);
    const bool records = !project.episodeFolder.isEmpty() && isUsableProjectName(project.name);
    const bool hadSettings = records && files::plainFileExists(settingsFile);
    std::optional<QByteArray> oldSettings;
    if (hadSettings) {
        if (files::Outcome<QByteArray> read = files::readFileBytes(settingsFile))
            oldSettings = *std::move(read);
    }
    if (const files::Outcome<void> recorded = recordNewProject(workspace, projects.names(), project);
        !recorded) {
        creation.failures.append(recorded.failure());
        return creation;
    }

    projects.insertAtTop(project.name);
    if (const files::Outcome<void> saved = projects.save(workspace.listFile()); !saved) {
        // The rows stay as the file has them.
        projects.removeAt(0);
        creation.result = CreationResult::ListNotSaved;
        creation.failures.append(saved.failure());
        if (records) {
            // Settings that could not be read cannot be put back: that fails without a reason.
            const files::Outcome<void> putBack =
                !hadSettings  ? files::deleteFile(settingsFile)
                : oldSettings ? files::writeFileAtomically(settingsFile, *oldSettings)
                              : files::Outcome<void>(files::Failure{settingsFile, QString()});
            if (!putBack)
                creation.failures.append(putBack.failure());
        }
        return creation;
    }
    creation.result = CreationResult::Created;
    return creation;
}

QString suggestedProjectName(const QString &folderName, const QString &folderPath)
{
    static const QRegularExpression part(
        QStringLiteral(
            R"(^(?:(?:season|series|part|vol(?:ume)?|dis[ck]|cd|dvd)[\s._-]*[0-9０-９]+|s[0-9]{1,3})"
            R"(|第[0-9０-９零〇一二两三四五六七八九十百]+[季部辑輯]|[上中下][部集篇])$)"),
        QRegularExpression::CaseInsensitiveOption);
    if (!part.match(folderName.trimmed()).hasMatch())
        return folderName;
    const QString parent = QFileInfo(files::withoutTrailingSeparators(folderPath)).dir().dirName();
    if (parent.isEmpty() || parent == QLatin1String(".") || parent == QLatin1String(".."))
        return folderName;
    return parent + u' ' + folderName;
}

QString absoluteEpisodeFolder(const QString &folder, const QString &currentFolder)
{
    const QString absolute = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(folder));
    return files::withoutTrailingSeparators(QDir::toNativeSeparators(absolute));
}

} // namespace tessaly
