#include "app/gui/ProgramIcon.h"

#include <QDirIterator>

// Resources of static libraries are registered by hand, outside any namespace.
static void registerIconResource()
{
    Q_INIT_RESOURCE(tessaly_icon);
}

namespace tessaly {

QIcon programIcon()
{
    registerIconResource();
    QIcon icon;
    QDirIterator renderings(QStringLiteral(":/icons"), {QStringLiteral("tessaly.png")}, QDir::Files,
                            QDirIterator::Subdirectories);
    while (renderings.hasNext())
        icon.addFile(renderings.next());
    return icon;
}

} // namespace tessaly
