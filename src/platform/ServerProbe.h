#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QUrl>

namespace tessaly {

struct ProbeAnswer
{
    bool served = false;
    QString reason; // why not, in the user's language; empty when served
};

// Asks a web server whether it gives an address, without fetching it: a
// HEAD request, or a GET of the first byte where HEAD is refused. Redirects
// are followed as the HTTP client follows them (`isAllowedRedirect`), up to
// `maximumRedirects`. Blocks the calling thread until the answer or the
// deadline, so it is called off the window's thread; each call has its own
// connection, so any thread may call it.
class ServerProbe
{
public:
    virtual ~ServerProbe() = default;
    virtual ProbeAnswer probe(const QUrl &url, const QDeadlineTimer &deadline, int maximumRedirects) = 0;
};

} // namespace tessaly
