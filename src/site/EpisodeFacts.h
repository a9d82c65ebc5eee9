#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessaly {

// What a run knows of one episode file beyond its name, for the new page
// set's play pages.
struct EpisodeFacts
{
    std::optional<double> seconds; // the duration, when known
    // Whether browsers play the file: "ok", "partial" (plays, something is
    // missing), "silent" (plays without sound), "none" or "unknown".
    QString verdict = QStringLiteral("ok");
    QString reason; // why, in a few words ("AVI 格式"); empty for "ok"
    // The web copy's path relative to the site's root folder, "/" between
    // folders, not URL-encoded; empty when there is none.
    QString webCopy;
};

// Where a run takes the facts of its episodes from: `factsOf` is asked once
// per episode of the new page set, `webCopyOf` once per episode of the
// classic set, whose pages need nothing else.
class EpisodeFactsProvider
{
public:
    virtual ~EpisodeFactsProvider() = default;
    // `fileName` is the name's bytes as the folder holds them.
    virtual EpisodeFacts factsOf(const QString &project, const QString &episodeFolder,
                                 const QByteArray &fileName) const = 0;
    // `EpisodeFacts::webCopy` alone.
    virtual QString webCopyOf(const QString &project, const QString &episodeFolder,
                              const QByteArray &fileName) const
    {
        return factsOf(project, episodeFolder, fileName).webCopy;
    }
};

} // namespace tessaly
