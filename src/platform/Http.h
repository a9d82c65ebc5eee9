#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

namespace tessaly {

// How long and how big one GET may get before it is abandoned as failed.
struct HttpLimits
{
    int totalMilliseconds = 30 * 1000; // from the request, redirects included
    qint64 maximumBytes = 8 * 1024 * 1024;
    int maximumRedirects = 10;

    static HttpLimits page() { return {}; }
    static HttpLimits image() { return {30 * 1000, 20 * 1024 * 1024, 10}; }
};

struct HttpResult
{
    bool ok = false; // a complete 2xx reply within the limits
    QByteArray body; // empty unless ok
    QByteArray contentType;
    QString error; // why it failed, for the record
};

// One GET in flight. It reports `finished` exactly once unless cancelled;
// deleting it cancels it.
class HttpRequest : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Abandons the request; `finished` is not reported afterwards.
    virtual void cancel() = 0;

signals:
    void finished(const tessaly::HttpResult &result);
};

// The HTTP client: GETs of http and https URLs only, asynchronous. Redirects
// are followed only to http or https, never from https to http. A reply
// whose status is not 2xx is a failure.
class HttpClient
{
public:
    virtual ~HttpClient() = default;
    // The caller owns the request.
    virtual HttpRequest *get(const QUrl &url, const HttpLimits &limits) = 0;
};

} // namespace tessaly
