#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

namespace tessaly {

// The application folder and every fixed path below it.
class Workspace
{
public:
    explicit Workspace(QString applicationFolder);

    const QString &root() const { return m_root; }
    QString path(const QString &relative) const;

    QString web() const;      // output folder
    QString webData() const;  // play pages
    QString webImage() const; // covers
    QString setting() const;
    QString data() const;
    QString log() const;
    QString style() const;
    QString temp() const;

    QString indexPage() const;
    QString playPage(const QString &project) const;
    QString coverFile(const QString &project) const;
    QString settingsFile() const;
    QString projectSettingsFile(const QString &project) const;
    QString listFile() const;
    QString styleFile() const;
    QString styleTemplate(const QString &fileName) const;
    QString skinFile() const;
    QString lockFile() const;

    // The folders start-up makes, parents first.
    static QStringList startupFolders();
    // Creates the missing start-up folders; failures come back as "path: reason".
    QStringList createFolders() const;

private:
    QString m_root;
};

// The one rule for which folder a session works in, or why none could be
// chosen. A folder named with
// `--workspace` is used as given. Otherwise an installed copy, whose
// executable has `../share/applications/tessaly.desktop` beside its folder,
// may not write beside its program and serves many users: each gets
// `Tessaly` in their own data folder, made here on first start. That folder
// is `XDG_DATA_HOME` when it is an absolute path, else `.local/share` below
// `HOME`, which must be an absolute path to an existing folder; only
// `Tessaly` (and `.local/share` below the home folder) is ever made, never
// the data folder or the home folder themselves. Any other copy is portable
// and keeps the executable's folder.
files::Outcome<QString> chooseWorkspaceFolder(const QString &executableFolder,
                                              const QString &requestedFolder = {});

// The user's data folder of that rule, with `.local/share` made below the
// home folder when it is missing; the refusal when there is none.
files::Outcome<QString> userDataFolder();

// Said when an installed copy finds no usable data folder.
QString noDataFolderText();

} // namespace tessaly
