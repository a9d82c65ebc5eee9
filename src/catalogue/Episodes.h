#pragma once

#include "files/NaturalOrder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tessaly {

// A file of an episode folder is an episode when it is a video or a sound
// file by its extension (after the last ".", in any letter case). Pictures,
// subtitles, notes and names without an extension are not episodes.
bool isEpisodeFileName(QStringView name);

// The files of an episode folder, split into its episodes, in the order
// asked for, and the other files, in the same order.
struct EpisodeListing
{
    QStringList episodes;
    // The episodes' names as the file system holds them.
    QList<QByteArray> encodedEpisodes;
    QStringList otherFiles;
    QList<QByteArray> encodedOtherFiles;
    bool isFolder = false;
    QString error; // empty when the folder could be listed, or is none
    bool ok() const { return isFolder && error.isEmpty(); }
};

// Lists the episodes of the folder, as every view of a project's episodes
// takes them: the details pane, the pages and the covers from videos.
EpisodeListing listEpisodes(const QString &folder, files::NameOrder order);

} // namespace tessaly
