#include "platform/gui/QtDesktop.h"

#include "platform/Links.h"

#include <QDesktopServices>
#include <QUrl>

namespace tessaly {

bool QtDesktop::openFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDesktop::openUrl(const QString &url)
{
    // An empty or unusable link opens nothing, and nobody is told.
    const QUrl target = urlForLink(url);
    if (target.isEmpty())
        return false;
    return QDesktopServices::openUrl(target);
}

} // namespace tessaly
