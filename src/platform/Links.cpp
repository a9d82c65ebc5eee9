#include "platform/Links.h"

namespace tessaly {

QUrl urlForLink(const QString &link)
{
    const QString trimmed = link.trimmed();
    if (trimmed.isEmpty())
        return {};
    QUrl url(trimmed, QUrl::TolerantMode);
    if (url.scheme().isEmpty())
        url = QUrl::fromUserInput(trimmed);
    if (!url.isValid() || url.scheme().isEmpty() || (url.host().isEmpty() && !url.isLocalFile()))
        return {};
    return url;
}

} // namespace tessaly
