#include "catalogue/Episodes.h"

#include "files/FileServices.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tessaly {

namespace {

// Up to four lower-case ASCII letters or digits in one number, the first
// in the highest byte used.
constexpr quint32 packed(std::string_view extension)
{
    quint32 value = 0;
    for (const char c : extension)
        value = value << 8 | quint32(c);
    return value;
}

// The extensions of video and sound files, packed and sorted, so that each
// name of a folder costs one search.
constexpr auto EpisodeExtensions = [] {
    std::array extensions{// video
                          packed("mp4"), packed("m4v"), packed("mov"), packed("mkv"), packed("webm"),
                          packed("avi"), packed("wmv"), packed("asf"), packed("flv"), packed("f4v"),
                          packed("mpg"), packed("mpeg"), packed("m2v"), packed("vob"), packed("ts"),
                          packed("m2ts"), packed("mts"), packed("3gp"), packed("3g2"), packed("ogv"),
                          packed("rm"), packed("rmvb"), packed("divx"),
                          // sound
                          packed("mp3"), packed("m4a"), packed("aac"), packed("flac"), packed("ogg"),
                          packed("oga"), packed("opus"), packed("wav"), packed("wma")};
    std::sort(extensions.begin(), extensions.end());
    return extensions;
}();

// The extension folded to lower case and packed; 0 when it holds anything
// no episode extension does.
quint32 packedExtension(QStringView extension)
{
    if (extension.isEmpty() || extension.size() > 4)
        return 0;
    quint32 value = 0;
    for (const QChar c : extension) {
        char16_t unit = c.unicode();
        if (unit >= u'A' && unit <= u'Z')
            unit += u'a' - u'A';
        else if (!((unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9')))
            return 0;
        value = value << 8 | quint32(unit);
    }
    return value;
}

} // namespace

bool isEpisodeFileName(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const quint32 extension = packedExtension(name.sliced(dot + 1));
    return extension != 0 &&
           std::binary_search(EpisodeExtensions.begin(), EpisodeExtensions.end(), extension);
}

EpisodeListing listEpisodes(const QString &folder, files::NameOrder order)
{
    EpisodeListing episodes;
    if (folder.isEmpty())
        return episodes;
    files::Listing listing = files::listFilesIfFolder(folder, &episodes.isFolder, order);
    if (!listing.ok()) {
        episodes.error = listing.failure->reason;
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
