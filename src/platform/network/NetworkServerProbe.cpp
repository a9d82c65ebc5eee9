#include "platform/network/NetworkServerProbe.h"

#include "platform/Http.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace tessaly {

namespace {

QString networkReason(const QNetworkReply &reply)
{
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return http_reasons::connectionRefused();
    case QNetworkReply::HostNotFoundError:
        return http_reasons::hostNotFound();
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器关闭了连接");
    case QNetworkReply::SslHandshakeFailedError:
        return http_reasons::secureConnectionFailed();
    default:
        return reply.errorString();
    }
}

bool isRedirect(int status)
{
    return status >= 300 && status <= 399;
}

// A server that does not take HEAD says so with one of these.
bool refusesHead(int status)
{
    return status == 400 || status == 403 || status == 405 || status == 501;
}

struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const
    {
        reply->disconnect();
        reply->abort();
        delete reply;
    }
};

} // namespace

ProbeAnswer NetworkServerProbe::probe(const QUrl &start, const QDeadlineTimer &deadline, int maximumRedirects)
{
    if (!isFetchableUrl(start))
        return {false, http_reasons::notAWebLink()};
    QNetworkAccessManager manager;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QUrl url = start;
    bool head = true;
    int redirects = 0;
    for (;;) {
        if (deadline.hasExpired())
            return {false, http_reasons::timedOut()};
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        if (!head)
            request.setRawHeader("Range", "bytes=0-0");
        const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(head ? manager.head(request)
                                                                      : manager.get(request));
        const auto status = [&reply] {
            return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        };
        // The status line and headers are the whole answer: the body, if
        // any, is not waited for.
        QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
            if (status() != 0)
                loop.quit();
        });
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        timer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        loop.exec();
        timer.stop();
        const int code = status();
        if (code == 0 && !reply->isFinished())
            return {false, http_reasons::timedOut()};
        if (isRedirect(code)) {
            const QUrl next = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
            if (reply->rawHeader("Location").isEmpty())
                return {false, http_reasons::httpStatus(code)};
            if (++redirects > maximumRedirects)
                return {false, http_reasons::tooManyRedirects()};
            if (!isAllowedRedirect(url, next))
                return {false, http_reasons::redirectRefused(next.toString(QUrl::RemoveUserInfo))};
            url = next;
            continue;
        }
        if (code >= 200 && code <= 299)
            return {true, {}};
        if (head && refusesHead(code)) {
            head = false;
            continue;
        }
        if (code != 0)
            return {false, http_reasons::httpStatus(code)};
        return {false, networkReason(*reply)};
    }
}

} // namespace tessaly
