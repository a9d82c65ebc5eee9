#pragma once

#include "files/NaturalOrder.h"
#include "files/Outcome.h"
#include "settings/IniFile.h"

#include <QString>

namespace tessaly {

class Workspace;

// `Setting\Setting.ini`: the four site settings, section `Setting`.
struct SiteSettings
{
    QString movieFile;
    QString webFile;
    QString webLink;
    QString webUpdate;

    // Only the exact word "True" publishes.
    bool publishes() const { return webUpdate == QLatin1String("True"); }
    // The movie root as every user takes it: without trailing separators.
    QString movieRoot() const;

    static SiteSettings read(const Workspace &workspace);
    // WebUpdate, MovieFile, WebFile, WebLink, in this order.
    ini::KeyValues keyValues() const;
    // Writes them with one replacement of the file; a failure names the file.
    files::Outcome<void> write(const Workspace &workspace) const;
};

namespace settings {

inline constexpr const char *Section = "Setting";

// Reads one key of `Setting.ini` (empty when file or key is missing).
QString siteValue(const Workspace &workspace, const QString &key);
// `File` of `<name>.ini`: the project's episode folder, empty when unset.
QString episodeFolder(const Workspace &workspace, const QString &project);
// A failure names the project's settings file.
files::Outcome<void> setEpisodeFolder(const Workspace &workspace, const QString &project,
                                      const QString &folder);

// `NaturalOrder` of `Setting.ini`: episodes and the choosers' folders are in
// natural order unless it is exactly "False".
inline constexpr const char *NaturalOrderKey = "NaturalOrder";
// Whether runs check which episodes browsers will play: "False" turns it
// off; a missing key or any other value leaves it on.
inline constexpr const char *CheckVideosKey = "CheckVideos";
files::NameOrder nameOrderFor(const QString &naturalOrderValue);
files::NameOrder episodeOrder(const Workspace &workspace);
bool checksVideosFor(const QString &checkVideosValue);
bool checksVideos(const Workspace &workspace);

} // namespace settings
} // namespace tessaly
