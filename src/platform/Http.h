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
    QString error; // why it failed, in the user's language (`http_reasons`)
};

// Why a GET failed, as the client words it.
namespace http_reasons {
inline QString timedOut()
{
    return QStringLiteral("超时");
}
inline QString replyTooLarge()
{
    return QStringLiteral("回复过大");
}
inline QString tooManyRedirects()
{
    return QStringLiteral("重定向次数过多");
}
inline QString redirectRefused(const QString &link)
{
    return QStringLiteral("拒绝重定向: ") + link;
}
inline QString httpStatus(int code)
{
    return QStringLiteral("HTTP 状态 ") + QString::number(code);
}
inline QString notAWebLink()
{
    return QStringLiteral("不是 http 或 https 链接");
}
inline QString connectionRefused()
{
    return QStringLiteral("连接被拒绝");
}
inline QString connectionClosed()
{
    return QStringLiteral("连接被服务器关闭");
}
inline QString connectionInterrupted()
{
    return QStringLiteral("连接被中断");
}
inline QString hostNotFound()
{
    return QStringLiteral("找不到服务器");
}
inline QString secureConnectionFailed()
{
    return QStringLiteral("安全连接失败");
}
inline QString networkUnavailable()
{
    return QStringLiteral("网络不可用");
}
inline QString unsafeRedirect()
{
    return QStringLiteral("拒绝不安全的重定向");
}
inline QString proxyFailed()
{
    return QStringLiteral("无法经代理服务器连接");
}
inline QString proxyNeedsLogin()
{
    return QStringLiteral("代理服务器要求登录");
}
inline QString unreadableContent()
{
    return QStringLiteral("回复内容无法读取");
}
inline QString notHttp()
{
    return QStringLiteral("回复不是有效的 HTTP");
}
inline QString serverError()
{
    return QStringLiteral("服务器出错");
}
inline QString networkError()
{
    return QStringLiteral("网络错误");
}
} // namespace http_reasons

// Whether a request may go on from `from` to `to`: only to http or https
// links with a host, and never from https down to http.
bool isAllowedRedirect(const QUrl &from, const QUrl &to);
// http and https links with a host are the only ones the client fetches.
bool isFetchableUrl(const QUrl &url);

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
