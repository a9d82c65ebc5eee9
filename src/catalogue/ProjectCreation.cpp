#include "catalogue/ProjectCreation.h"

#include "catalogue/ProjectList.h"
#include "catalogue/ProjectNames.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>

namespace tessaly {

bool recordNewProject(const Workspace &workspace, const QStringList &existingNames, const NewProject &project)
{
    if (project.name.isEmpty())
        return false;

    const QString refusal = names::refusalFor(project.name, existingNames);
    if (!refusal.isEmpty()) {
        Messages::error(refusal);
        return false;
    }

    if (project.episodeFolder.isEmpty())
        return true;
    const QString pathRefusal = settings::recordedPathRefusal(project.episodeFolder);
    if (!pathRefusal.isEmpty()) {
        Messages::error(pathRefusal);
        return false;
    }
    QString reason;
    if (!settings::setEpisodeFolder(workspace, project.name, project.episodeFolder, &reason)) {
        Messages::error(Messages::withPath(workspace.projectSettingsFile(project.name), reason));
        return false;
    }
    return true;
}

CreationResult createProject(const Workspace &workspace, ProjectList &projects, const NewProject &project)
{
    if (project.name.isEmpty())
        return CreationResult::Ignored;
    // A list that could not be read is never saved; say so before anything
    // is written for the new project.
    if (!listMayChange(projects, workspace.listFile()))
        return CreationResult::Refused;
    // A settings file of this name may be left by a deleted project and name
    // its old folder: kept as it is, to be put back when the list cannot be
    // saved, since the project is then not created.
    const QString settingsFile = workspace.projectSettingsFile(project.name);
    const bool records = !project.episodeFolder.isEmpty() && isUsableProjectName(project.name);
    const bool hadSettings = records && files::plainFileExists(settingsFile);
    const std::optional<QByteArray> oldSettings =
        hadSettings ? files::readFileBytes(settingsFile) : std::optional<QByteArray>();
    if (!recordNewProject(workspace, projects.names(), project))
        return CreationResult::Refused;

    projects.insertAtTop(project.name);
    if (QString text = projects.saveSaying(workspace.listFile()); !text.isEmpty()) {
        // The rows stay as the file has them.
        projects.removeAt(0);
        QString putBackReason;
        const bool putBack =
            !records || (hadSettings ? oldSettings && files::writeFileAtomically(settingsFile, *oldSettings,
                                                                                 &putBackReason)
                                     : files::deleteFile(settingsFile, &putBackReason));
        if (!putBack)
            text += QStringLiteral("\r\n") + Messages::withPath(settingsFile, putBackReason);
        Messages::error(text);
        return CreationResult::ListNotSaved;
    }
    return CreationResult::Created;
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
