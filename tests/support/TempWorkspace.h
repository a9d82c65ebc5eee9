#pragma once

#include "workspace/Workspace.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tessaly::testing {

// A workspace in a fresh temporary folder, removed with the fixture.
// `withFolders()` makes the start-up folders; the helpers write files by
// path relative to the workspace, as raw bytes or as code page 936 text.
class TempWorkspace
{
public:
    TempWorkspace();

    const Workspace &workspace() const { return m_workspace; }
    QString root() const { return m_workspace.root(); }
    QString path(const QString &relative) const { return m_workspace.path(relative); }

    TempWorkspace &withFolders();
    // Writes exact bytes, creating parent folders.
    void writeBytes(const QString &relative, const QByteArray &bytes) const;
    // Writes text as code page 936 with CR LF after it, as the program does.
    void writeText(const QString &relative, const QString &text) const;
    QByteArray readBytes(const QString &relative) const;
    bool exists(const QString &relative) const;
    // Writes `Setting/List.ini` holding these names.
    void writeList(const QStringList &names) const;
    // Writes `Setting/Setting.ini` with MovieFile, WebFile, WebLink, WebUpdate,
    // and CheckVideos=False: the episodes of tests are mostly stand-in files,
    // which the check of the videos would note in every run.
    void writeSiteSettings(const QString &movieFile, const QString &webFile = {}, const QString &webLink = {},
                           const QString &webUpdate = {}) const;
    // Makes an extra folder anywhere inside the temporary folder.
    QString makeFolder(const QString &relative) const;

private:
    QTemporaryDir m_dir;
    Workspace m_workspace;
};

} // namespace tessaly::testing
