#include "platform/gui/QtDesktop.h"

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
    // The link is handed over as the user typed it; a bare host such as
    // "192.168.1.2/site" becomes an http link, as a shell would take it.
    // An empty or unusable link opens nothing, and nobody is told.
    const QString link = url.trimmed();
    if (link.isEmpty())
        return false;
    QUrl target(link, QUrl::TolerantMode);
    if (target.scheme().isEmpty())
        target = QUrl::fromUserInput(link);
    if (!target.isValid() || target.isEmpty())
        return false;
    return QDesktopServices::openUrl(target);
}

} // namespace tessaly
