#pragma once

#include "platform/Http.h"

#include <QStringList>
#include <QUrl>

namespace tessaly::testing {

// Hands every GET on to another client and records its link, so a test
// sees at once whether a command asked for something: a request is made
// inside the command, long before a server would see it.
class RecordingHttpClient : public HttpClient
{
public:
    explicit RecordingHttpClient(HttpClient &client) : m_client(client) {}

    HttpRequest *get(const QUrl &url, const HttpLimits &limits) override
    {
        m_links.append(url.toString());
        return m_client.get(url, limits);
    }

    // Every link asked for, in order.
    const QStringList &links() const { return m_links; }
    int count(const QString &link) const { return int(m_links.count(link)); }

private:
    HttpClient &m_client;
    QStringList m_links;
};

} // namespace tessaly::testing
