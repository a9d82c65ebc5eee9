#include "catalogue/Episodes.h"

#include "files/FileServices.h"

#include <algorithm>

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
    files::Listing listing = files::listFilesIfFolder(folder, &episodes.isFolder, order);
    if (!listing.ok()) {
        episodes.error = listing.error;
        return episodes;
    }
    // Most folders hold nothing else: their listing is taken whole.
    if (std::all_of(listing.entries.cbegin(), listing.entries.cend(),
                    [](const QString &name) { return isEpisodeFileName(name); })) {
        episodes.episodes = std::move(listing.entries);
        episodes.encodedEpisodes = std::move(listing.encodedEntries);
        return episodes;
    }
    episodes.episodes.reserve(listing.entries.size());
    episodes.encodedEpisodes.reserve(listing.entries.size());
    for (qsizetype i = 0; i < listing.entries.size(); ++i) {
        QString &name = listing.entries[i];
        if (isEpisodeFileName(name)) {
            episodes.episodes.append(std::move(name));
            episodes.encodedEpisodes.append(std::move(listing.encodedEntries[i]));
        } else {
            episodes.otherFiles.append(std::move(name));
            episodes.encodedOtherFiles.append(std::move(listing.encodedEntries[i]));
        }
    }
    return episodes;
}

} // namespace tessaly
