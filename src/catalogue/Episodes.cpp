#include "catalogue/Episodes.h"

#include "files/FileServices.h"

namespace tessaly {

namespace {

// Lower case, so that the extension folded to lower case is found.
constexpr const char *EpisodeExtensions[] = {
    // video
    "mp4", "m4v", "mov", "mkv", "webm", "avi", "wmv", "asf", "flv", "f4v", "mpg", "mpeg", "m2v", "vob", "ts",
    "m2ts", "mts", "3gp", "3g2", "ogv", "rm", "rmvb", "divx",
    // sound
    "mp3", "m4a", "aac", "flac", "ogg", "oga", "opus", "wav", "wma"};

} // namespace

bool isEpisodeFileName(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView extension = name.sliced(dot + 1);
    if (extension.isEmpty() || extension.size() > 4)
        return false;
    for (const char *known : EpisodeExtensions) {
        if (extension.compare(QLatin1StringView(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

EpisodeListing listEpisodes(const QString &folder, files::NameOrder order)
{
    EpisodeListing episodes;
    if (folder.isEmpty())
        return episodes;
    const files::Listing listing = files::listFilesIfFolder(folder, &episodes.isFolder, order);
    if (!listing.ok()) {
        episodes.error = listing.error;
        return episodes;
    }
    episodes.episodes.reserve(listing.entries.size());
    episodes.encodedEpisodes.reserve(listing.entries.size());
    for (qsizetype i = 0; i < listing.entries.size(); ++i) {
        const QString &name = listing.entries.at(i);
        if (isEpisodeFileName(name)) {
            episodes.episodes.append(name);
            episodes.encodedEpisodes.append(listing.encodedEntries.at(i));
        } else {
            episodes.otherFiles.append(name);
        }
    }
    return episodes;
}

} // namespace tessaly
