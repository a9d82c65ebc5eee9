#include "settings/MovieLink.h"

#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/Reasons.h"
#include "settings/EditedSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly::settings {

namespace {

// Whether both paths lead to one folder, however each is reached.
bool sameFolder(const QString &first, const QString &second)
{
    struct stat a;
    struct stat b;
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && S_ISDIR(a.st_mode) &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool liesInside(const QString &inner, const QString &outer)
{
    const QString in = QFileInfo(inner).canonicalFilePath();
    const QString out = QFileInfo(outer).canonicalFilePath();
    return !in.isEmpty() && !out.isEmpty() &&
           (in == out || in.startsWith(out == QLatin1String("/") ? out : out + u'/'));
}

} // namespace

MovieLink movieLinkIn(const QString &siteFolder, const QString &movieRoot)
{
    const QString movie = files::joinPath(siteFolder, QStringLiteral("movie"));
    const QFileInfo info(movie);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!movieRoot.isEmpty() && sameFolder(movie, movieRoot))
        return {MovieLink::State::MovieRoot, {}};
    return {MovieLink::State::Elsewhere, info.isSymLink() ? info.symLinkTarget() : movie};
}

files::Outcome<bool> makeMovieLink(const QString &siteFolder, const QString &movieRoot)
{
    if (siteFolder.isEmpty())
        return files::Failure{{}, siteFolderEmptyText()};
    if (movieRoot.isEmpty())
        return files::Failure{{}, movieFolderEmptyText()};
    for (const QString &folder : {siteFolder, movieRoot}) {
        if (!files::folderExists(folder))
            return files::Failure{folder, files::texts::folderMissing()};
    }
    if (liesInside(siteFolder, movieRoot))
        return files::Failure{{}, siteInsideMovieRootText()};
    const MovieLink present = movieLinkIn(siteFolder, movieRoot);
    if (present.state == MovieLink::State::Elsewhere)
        return files::Failure{{}, movieElsewhereText(present.leadsTo)};
    if (present.state == MovieLink::State::MovieRoot)
        return false;
    const QString link = files::joinPath(siteFolder, QStringLiteral("movie"));
    const QByteArray target = QFile::encodeName(QDir::cleanPath(QFileInfo(movieRoot).absoluteFilePath()));
    if (::symlink(target.constData(), QFile::encodeName(link).constData()) != 0)
        return files::Failure{link, files::reasonFor(errno)};
    return true;
}

} // namespace tessaly::settings
