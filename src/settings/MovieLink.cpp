#include "settings/MovieLink.h"

#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/Reasons.h"
#include "platform/Messages.h"
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

bool makeMovieLink(const QString &siteFolder, const QString &movieRoot)
{
    if (siteFolder.isEmpty()) {
        Messages::error(siteFolderEmptyText());
        return false;
    }
    if (movieRoot.isEmpty()) {
        Messages::error(movieFolderEmptyText());
        return false;
    }
    for (const QString &folder : {siteFolder, movieRoot}) {
        if (!files::folderExists(folder)) {
            Messages::error(Messages::withPath(folder, files::texts::folderMissing()));
            return false;
        }
    }
    if (liesInside(siteFolder, movieRoot)) {
        Messages::error(siteInsideMovieRootText());
        return false;
    }
    const MovieLink present = movieLinkIn(siteFolder, movieRoot);
    if (present.state == MovieLink::State::Elsewhere) {
        Messages::error(movieElsewhereText(present.leadsTo));
        return false;
    }
    if (present.state == MovieLink::State::MovieRoot)
        return true;
    const QString link = files::joinPath(siteFolder, QStringLiteral("movie"));
    const QByteArray target = QFile::encodeName(QDir::cleanPath(QFileInfo(movieRoot).absoluteFilePath()));
    if (::symlink(target.constData(), QFile::encodeName(link).constData()) != 0) {
        Messages::error(Messages::withPath(link, files::reasonFor(errno)));
        return false;
    }
    Messages::information(movieLinkMadeText());
    return true;
}

} // namespace tessaly::settings
