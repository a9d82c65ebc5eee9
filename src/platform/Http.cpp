#include "platform/Http.h"

namespace tessaly {

bool isFetchableUrl(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

bool isAllowedRedirect(const QUrl &from, const QUrl &to)
{
    if (!isFetchableUrl(to))
        return false;
    return !(from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http"));
}

} // namespace tessaly
