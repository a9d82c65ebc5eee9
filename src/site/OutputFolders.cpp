#include "site/OutputFolders.h"

#include "files/FileTexts.h"
#include "site/RunReport.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace tessaly {

namespace {

files::OpenFolder openedSubfolder(const files::OpenFolder &web, const QString &name, RunReport &report,
                                  bool create = false, bool mayLack = false)
{
    if (mayLack && !web.holdsName(files::OpenFolder::nameOf(name)))
        return {};
    files::OpenFolder folder = web.subfolder(name, create);
    if (folder.isOutside())
        report.cannotWrite(folder.path(), files::texts::linkLeadsOutside());
    else if (!folder.isOpen() && web.isOpen())
        report.cannotWrite(folder.path(), folder.error());
    return folder;
}

} // namespace

QString sameFolderAsText(const QString &other)
{
    return QStringLiteral("与 %1 是同一个文件夹").arg(other);
}

OutputFolders::OutputFolders(const Workspace &workspace, RunReport &report, bool withSubtitles)
    : m_web(workspace.web())
{
    if (!m_web.isOpen())
        report.cannotWrite(m_web.path(), m_web.error());
    m_data = openedSubfolder(m_web, QStringLiteral("Data"), report);
    m_image = openedSubfolder(m_web, QStringLiteral("Image"), report);
    m_subtitle = openedSubfolder(m_web, QStringLiteral("Subtitle"), report, withSubtitles, !withSubtitles);
    // Its clean-up removes every file beside the project folders.
    for (const files::OpenFolder *other : {&m_data, &m_image}) {
        if (m_subtitle.isSameFolderAs(*other)) {
            report.cannotWrite(m_subtitle.path(), sameFolderAsText(QFileInfo(other->path()).fileName()));
            m_subtitle = {};
        }
    }
}

files::Outcome<void> OutputFolders::writeFile(const files::OpenFolder &folder, const QByteArray &name,
                                              const QByteArray &bytes) const
{
    // Covers stay from run to run (a run writes only the missing ones), so a
    // killed run must never leave part of one under its name; pages and the
    // index are all written again by the next run.
    const bool cover = &folder == &m_image;
    files::Outcome<void> written = cover ? folder.replaceFile(name, bytes) : folder.writeFile(name, bytes);
    if (!written)
        (cover ? m_unwrittenCovers : m_unwrittenPages).insert(name);
    return written;
}

void OutputFolders::removeTemporaries() const
{
    m_web.removeTemporaries();
    m_data.removeTemporaries();
    m_image.removeTemporaries();
    m_subtitle.removeTemporaries();
}

void OutputFolders::syncToDisk(RunReport &report) const
{
    QList<quint64> synced;
    for (const files::OpenFolder *folder : {&m_web, &m_data, &m_image, &m_subtitle}) {
        if (!folder->isOpen() || synced.contains(folder->fileSystem()))
            continue;
        synced.append(folder->fileSystem());
        if (const files::Outcome<void> onDisk = folder->syncFileSystem(); !onDisk)
            report.cannotWrite(folder->path(), onDisk.failure().reason);
    }
}

} // namespace tessaly
