#pragma once

#include "files/OpenFolder.h"

#include <QSet>

namespace tessaly {

class RunReport;
class Workspace;

// Why a publishing folder is refused: "与 <other> 是同一个文件夹".
QString sameFolderAsText(const QString &other);

// The output folder `Web` and its `Data`, `Image` and `Subtitle`, opened
// once for a run: pages, the index page, default covers and subtitle
// tracks are written inside these open folders, replacing a link where a
// file should go, and a folder that a link takes out of `Web` is refused.
// Generated files are not synced one by one; the run syncs them all at its
// end.
class OutputFolders
{
public:
    // Each folder that cannot be opened is one failure line; its files are
    // then left alone without further lines. `Subtitle` is made when
    // missing only for pages that have tracks; otherwise a missing one is
    // no failure.
    OutputFolders(const Workspace &workspace, RunReport &report, bool withSubtitles = false);

    const files::OpenFolder &web() const { return m_web; }
    const files::OpenFolder &data() const { return m_data; }
    const files::OpenFolder &image() const { return m_image; }
    const files::OpenFolder &subtitle() const { return m_subtitle; }

    // Writes a page or a default cover. A file that cannot be written is
    // remembered, so that publishing keeps the copy the site already has
    // instead of pruning it as stale.
    files::Outcome<void> writeFile(const files::OpenFolder &folder, const QByteArray &name,
                                   const QByteArray &bytes) const;
    const QSet<QByteArray> &unwrittenPages() const { return m_unwrittenPages; }
    const QSet<QByteArray> &unwrittenCovers() const { return m_unwrittenCovers; }

    // Removes what an interrupted run left under temporary names.
    void removeTemporaries() const;
    // One sync of the file system (or file systems) the files went to; a
    // failure is a failure line.
    void syncToDisk(RunReport &report) const;

private:
    files::OpenFolder m_web;
    files::OpenFolder m_data;
    files::OpenFolder m_image;
    files::OpenFolder m_subtitle;
    mutable QSet<QByteArray> m_unwrittenPages;
    mutable QSet<QByteArray> m_unwrittenCovers;
};

} // namespace tessaly
