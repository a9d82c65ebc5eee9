#include "platform/gui/NetworkHttpClient.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace tessaly {

namespace {

// How far Qt's network thread may read ahead of what the request has taken.
// Without a bound, a server faster than the request piles data up in
// between before the request can count it against its size limit.
constexpr qint64 readAheadBytes = 256 * 1024;

// One GET with its own deadline, size budget and redirect checks. Whatever
// fails first ends it: the reply is aborted and the failure reported once.
// Redirects are followed here, one request at a time, so every hop passes
// the same checks.
class NetworkHttpRequest : public HttpRequest
{
public:
    NetworkHttpRequest(QNetworkAccessManager &manager, const QUrl &url, const HttpLimits &limits)
        : m_manager(manager), m_limits(limits)
    {
        if (!isFetchableUrl(url)) {
            // Reported from the event loop so the caller can connect first.
            QTimer::singleShot(0, this, [this] { fail(http_reasons::notAWebLink()); });
            return;
        }
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { fail(http_reasons::timedOut()); });
        m_deadline.start(limits.totalMilliseconds);
        send(url);
    }

    ~NetworkHttpRequest() override { cancel(); }

    void cancel() override
    {
        m_done = true;
        m_deadline.stop();
        dropReply();
    }

private:
    void send(const QUrl &url)
    {
        m_currentUrl = url;
        m_body.clear();
        m_received = 0;
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        m_reply = m_manager.get(request);
        m_reply->setReadBufferSize(readAheadBytes);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &NetworkHttpRequest::onMetaData);
        connect(m_reply, &QNetworkReply::readyRead, this, &NetworkHttpRequest::onReadyRead);
        connect(m_reply, &QNetworkReply::finished, this, &NetworkHttpRequest::onFinished);
    }

    void dropReply()
    {
        if (m_reply) {
            QNetworkReply *reply = m_reply;
            m_reply = nullptr;
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    }

    int status() const { return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }
    bool isRedirect() const { return status() >= 300 && status() <= 399; }

    // A redirect's body is never kept, but it counts against the same
    // budget as any other: a server must not keep a request busy forever
    // by never ending one.
    void onMetaData()
    {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limits.maximumBytes)
            fail(http_reasons::replyTooLarge());
    }

    void onReadyRead()
    {
        const QByteArray piece = m_reply->read(m_limits.maximumBytes + 1 - m_received);
        m_received += piece.size();
        if (!isRedirect())
            m_body += piece;
        if (m_received > m_limits.maximumBytes)
            fail(http_reasons::replyTooLarge());
    }

    void onFinished()
    {
        if (m_done)
            return;
        const QUrl location = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (isRedirect() && location.isValid())
            return followRedirect(m_currentUrl.resolved(location));
        // A reply with a status is judged by it first.
        if (status() != 0 && (status() < 200 || status() > 299))
            return fail(http_reasons::httpStatus(status()));
        if (m_reply->error() != QNetworkReply::NoError)
            return fail(networkErrorReason(m_reply->error()));
        if (status() < 200 || status() > 299)
            return fail(http_reasons::httpStatus(status()));
        onReadyRead();
        if (m_done)
            return;
        HttpResult result;
        result.ok = true;
        result.body = std::move(m_body);
        result.contentType = m_reply->rawHeader("Content-Type");
        finish(result);
    }

    void followRedirect(const QUrl &next)
    {
        if (++m_redirects > m_limits.maximumRedirects)
            return fail(http_reasons::tooManyRedirects());
        if (!isAllowedRedirect(m_currentUrl, next))
            return fail(http_reasons::redirectRefused(next.toString()));
        dropReply();
        send(next);
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

    QNetworkAccessManager &m_manager;
    HttpLimits m_limits;
    QUrl m_currentUrl;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    qint64 m_received = 0; // of this hop's body, kept or not
    int m_redirects = 0;
    bool m_done = false;
};

} // namespace

QString networkErrorReason(QNetworkReply::NetworkError error)
{
    using E = QNetworkReply;
    switch (error) {
    case E::ConnectionRefusedError:
        return http_reasons::connectionRefused();
    case E::RemoteHostClosedError:
        return http_reasons::connectionClosed();
    case E::HostNotFoundError:
        return http_reasons::hostNotFound();
    case E::TimeoutError:
    case E::ProxyTimeoutError:
        return http_reasons::timedOut();
    case E::OperationCanceledError:
        return http_reasons::connectionInterrupted();
    case E::SslHandshakeFailedError:
        return http_reasons::secureConnectionFailed();
    case E::TemporaryNetworkFailureError:
    case E::NetworkSessionFailedError:
    case E::BackgroundRequestNotAllowedError:
        return http_reasons::networkUnavailable();
    case E::TooManyRedirectsError:
        return http_reasons::tooManyRedirects();
    case E::InsecureRedirectError:
        return http_reasons::unsafeRedirect();
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::ProxyNotFoundError:
    case E::UnknownProxyError:
        return http_reasons::proxyFailed();
    case E::ProxyAuthenticationRequiredError:
        return http_reasons::proxyNeedsLogin();
    // Content and server errors usually come with a status outside 2xx
    // and are reported by it; what is left is a body that could not be
    // decoded.
    case E::ContentAccessDenied:
    case E::ContentOperationNotPermittedError:
    case E::ContentNotFoundError:
    case E::AuthenticationRequiredError:
    case E::ContentReSendError:
    case E::ContentConflictError:
    case E::ContentGoneError:
    case E::UnknownContentError:
        return http_reasons::unreadableContent();
    case E::ProtocolUnknownError:
        return http_reasons::notAWebLink();
    case E::ProtocolInvalidOperationError:
    case E::ProtocolFailure:
        return http_reasons::notHttp();
    case E::InternalServerError:
    case E::OperationNotImplementedError:
    case E::ServiceUnavailableError:
    case E::UnknownServerError:
        return http_reasons::serverError();
    case E::NoError:
    case E::UnknownNetworkError:
        break;
    }
    return http_reasons::networkError();
}

HttpRequest *NetworkHttpClient::get(const QUrl &url, const HttpLimits &limits)
{
    return new NetworkHttpRequest(m_manager, url, limits);
}

} // namespace tessaly
