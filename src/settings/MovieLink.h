#pragma once

#include "files/Outcome.h"

#include <QString>

namespace tessaly::settings {

// `movie` in the site folder, where the pages fetch the videos from: the
// usual way to serve them is a link to the movie root.
struct MovieLink
{
    enum class State
    {
        Missing,   // nothing named `movie`
        MovieRoot, // leads to the movie root itself
        Elsewhere, // a link, folder or file that is not the movie root
    };
    State state = State::Missing;
    QString leadsTo; // where an `Elsewhere` leads
};

MovieLink movieLinkIn(const QString &siteFolder, const QString &movieRoot);

inline QString movieElsewhereText(const QString &leadsTo)
{
    return QStringLiteral("站点的 movie 不是影片文件路径: ") + leadsTo;
}
inline QString siteInsideMovieRootText()
{
    return QStringLiteral("站点文件夹位于影片文件路径之内,无法创建 movie 链接");
}
inline QString movieLinkMadeText()
{
    return QStringLiteral("已创建 movie 链接");
}

// "创建 movie 链接": makes `<site folder>/movie` a link to the movie root,
// only where nothing named `movie` exists and never for a site folder
// inside the movie root, which would make a loop. True when the link was
// made now (`movieLinkMadeText` says so), false when `movie` already led to
// the movie root; otherwise why nothing was made.
files::Outcome<bool> makeMovieLink(const QString &siteFolder, const QString &movieRoot);

} // namespace tessaly::settings
