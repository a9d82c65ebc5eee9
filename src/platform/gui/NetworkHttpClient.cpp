#include "platform/gui/NetworkHttpClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace tessaly {

namespace {

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// One GET with its own deadline, size budget and redirect checks. Whatever
// fails first ends it: the reply is aborted and the failure reported once.
class NetworkHttpRequest : public HttpRequest
{
public:
    NetworkHttpRequest(QNetworkAccessManager &manager, const QUrl &url, const HttpLimits &limits)
        : m_limits(limits), m_currentUrl(url)
    {
        if (!isWebScheme(url) || url.host().isEmpty()) {
            // Reported from the event loop so the caller can connect first.
            QTimer::singleShot(0, this, [this] { fail(QStringLiteral("not an http or https link")); });
            return;
        }
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::UserVerifiedRedirectPolicy);
        request.setMaximumRedirectsAllowed(limits.maximumRedirects);
        m_reply = manager.get(request);
        connect(m_reply, &QNetworkReply::redirected, this, &NetworkHttpRequest::onRedirected);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &NetworkHttpRequest::onMetaData);
        connect(m_reply, &QNetworkReply::readyRead, this, &NetworkHttpRequest::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &NetworkHttpRequest::onFinished);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { fail(QStringLiteral("timed out")); });
        m_deadline.start(limits.totalMilliseconds);
    }

    ~NetworkHttpRequest() override { cancel(); }

    void cancel() override
    {
        m_done = true;
        m_deadline.stop();
        if (m_reply) {
            QNetworkReply *reply = m_reply;
            m_reply = nullptr;
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    }

private:
    void onRedirected(const QUrl &target)
    {
        const QUrl next = m_currentUrl.resolved(target);
        if (++m_redirects > m_limits.maximumRedirects)
            return fail(QStringLiteral("too many redirects"));
        if (!isWebScheme(next))
            return fail(QStringLiteral("redirect to a link that is not http or https"));
        if (m_currentUrl.scheme() == QLatin1String("https") && next.scheme() == QLatin1String("http"))
            return fail(QStringLiteral("redirect from https to http"));
        m_currentUrl = next;
        m_body.clear();
        emit m_reply->redirectAllowed();
    }

    void onMetaData()
    {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limits.maximumBytes && !isRedirect())
            fail(QStringLiteral("reply too large"));
    }

    void onReadyRead()
    {
        if (isRedirect()) {
            m_reply->readAll();
            return;
        }
        m_body += m_reply->read(m_limits.maximumBytes + 1 - m_body.size());
        if (m_body.size() > m_limits.maximumBytes)
            fail(QStringLiteral("reply too large"));
    }

    void onFinished()
    {
        if (m_done)
            return;
        if (m_reply->error() != QNetworkReply::NoError)
            return fail(m_reply->errorString());
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status < 200 || status > 299)
            return fail(QStringLiteral("HTTP status %1").arg(status));
        onReadyRead();
        if (m_done)
            return;
        HttpResult result;
        result.ok = true;
        result.body = std::move(m_body);
        result.contentType = m_reply->rawHeader("Content-Type");
        finish(result);
    }

    bool isRedirect() const
    {
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        return status >= 300 && status <= 399;
    }

    void fail(const QString &why)
    {
        HttpResult result;
        result.error = why;
        finish(result);
    }

    void finish(const HttpResult &result)
    {
        if (m_done)
            return;
        cancel();
        emit finished(result);
    }

    HttpLimits m_limits;
    QUrl m_currentUrl;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    int m_redirects = 0;
    bool m_done = false;
};

} // namespace

HttpRequest *NetworkHttpClient::get(const QUrl &url, const HttpLimits &limits)
{
    return new NetworkHttpRequest(m_manager, url, limits);
}

} // namespace tessaly
