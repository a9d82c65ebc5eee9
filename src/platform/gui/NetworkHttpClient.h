#pragma once

#include "platform/Http.h"

#include <QNetworkAccessManager>

namespace tessaly {

// The HTTP client on QNetworkAccessManager.
class NetworkHttpClient : public HttpClient
{
public:
    HttpRequest *get(const QUrl &url, const HttpLimits &limits) override;

private:
    QNetworkAccessManager m_manager;
};

} // namespace tessaly
