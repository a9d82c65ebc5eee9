#include "support/TempWorkspace.h"

#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessaly::testing {

TempWorkspace::TempWorkspace() : m_workspace(m_dir.path()) {}

TempWorkspace &TempWorkspace::withFolders()
{
    m_workspace.createFolders();
    return *this;
}

void TempWorkspace::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes);
}

void TempWorkspace::writeText(const QString &relative, const QString &text) const
{
    writeBytes(relative, text::encode(text) + "\r\n");
}

QByteArray TempWorkspace::readBytes(const QString &relative) const
{
    QFile in(path(relative));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

bool TempWorkspace::exists(const QString &relative) const
{
    return QFileInfo::exists(path(relative));
}

void TempWorkspace::writeList(const QStringList &names) const
{
    writeText(QStringLiteral("Setting/List.ini"), names.join(QStringLiteral("\r\n")));
}

void TempWorkspace::writeSiteSettings(const QString &movieFile, const QString &webFile,
                                      const QString &webLink, const QString &webUpdate) const
{
    writeBytes(QStringLiteral("Setting/Setting.ini"),
               text::encode(
                   QStringLiteral("[Setting]\r\nWebUpdate=%1\r\nMovieFile=%2\r\nWebFile=%3\r\nWebLink=%4\r\n"
                                  "CheckVideos=False\r\n")
                       .arg(webUpdate, movieFile, webFile, webLink)));
}

QString TempWorkspace::makeFolder(const QString &relative) const
{
    const QString folder = path(relative);
    QDir().mkpath(folder);
    return folder;
}

} // namespace tessaly::testing
