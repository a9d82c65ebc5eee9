#pragma once

#include "platform/Http.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace tessaly {

// Why a reply failed, in the client's own words: Qt's are English.
QString networkErrorReason(QNetworkReply::NetworkError error);

// The HTTP client on QNetworkAccessManager.
class NetworkHttpClient : public HttpClient
{
public:
    HttpRequest *get(const QUrl &url, const HttpLimits &limits) override;

private:
    QNetworkAccessManager m_manager;
};

} // namespace tessaly
