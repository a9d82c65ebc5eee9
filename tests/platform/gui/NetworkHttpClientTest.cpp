#include "platform/gui/NetworkHttpClient.h"

#include "support/LoopbackHttpServer.h"
#include "support/Waiting.h"

#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sys/resource.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Runs one GET to its end and gives back what it reported.
class OneRequest
{
public:
    OneRequest(HttpClient &client, const QString &url, const HttpLimits &limits)
        : m_request(client.get(QUrl(url), limits))
    {
        QObject::connect(m_request.get(), &HttpRequest::finished, [this](const HttpResult &result) {
            m_result = result;
            ++m_reports;
        });
    }

    HttpResult wait(int milliseconds = 5000)
    {
        waitUntil([this] { return m_result.has_value(); }, milliseconds);
        return m_result.value_or(HttpResult{false, {}, {}, QStringLiteral("no report")});
    }
    int reports() const { return m_reports; }
    HttpRequest &request() { return *m_request; }

private:
    std::unique_ptr<HttpRequest> m_request;
    std::optional<HttpResult> m_result;
    int m_reports = 0;
};

HttpLimits smallLimits()
{
    return {1500, 64 * 1024, 3};
}

} // namespace

TEST(NetworkHttpClient, FetchesABodyWithItsContentType)
{
    LoopbackHttpServer server;
    server.serveBody("/page", "<html>x</html>", "text/html; charset=gbk");
    NetworkHttpClient client;
    OneRequest get(client, server.url("/page"), smallLimits());
    const HttpResult result = get.wait();
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.body, QByteArray("<html>x</html>"));
    EXPECT_EQ(result.contentType, QByteArray("text/html; charset=gbk"));
    EXPECT_EQ(get.reports(), 1);
    EXPECT_EQ(server.requests(), QStringList{"/page"});
}

TEST(NetworkHttpClient, StatusOutsideTwoHundredsIsAFailure)
{
    LoopbackHttpServer server;
    LoopbackResponse error;
    error.status = 500;
    error.body = "<html>error page</html>";
    server.serve("/broken", error);
    NetworkHttpClient client;
    const HttpResult broken = OneRequest(client, server.url("/broken"), smallLimits()).wait();
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.error, QStringLiteral("HTTP 状态 500"));
    EXPECT_FALSE(OneRequest(client, server.url("/missing"), smallLimits()).wait().ok);
}

TEST(NetworkHttpClient, FollowsHttpRedirectsWithinTheLimit)
{
    LoopbackHttpServer server;
    server.serveRedirect("/a", server.url("/b"));
    server.serveRedirect("/b", "/c", 301);
    server.serveBody("/c", "done", "text/plain");
    server.serveRedirect("/loop", "/loop");
    server.serveRedirect("/to-file", "file:///etc/passwd");
    NetworkHttpClient client;
    const HttpResult followed = OneRequest(client, server.url("/a"), smallLimits()).wait();
    EXPECT_TRUE(followed.ok) << followed.error.toStdString();
    EXPECT_EQ(followed.body, QByteArray("done"));
    EXPECT_EQ(OneRequest(client, server.url("/loop"), smallLimits()).wait().error,
              QStringLiteral("重定向次数过多"));
    EXPECT_EQ(server.requestCount("/loop"), 4);
    EXPECT_EQ(OneRequest(client, server.url("/to-file"), smallLimits()).wait().error,
              QStringLiteral("拒绝重定向: file:///etc/passwd"));
    EXPECT_EQ(server.requests().mid(0, 3), (QStringList{"/a", "/b", "/c"}));
}

TEST(NetworkHttpClient, AbandonsTooLargeReplies)
{
    LoopbackHttpServer server;
    server.serveBody("/declared", QByteArray(200 * 1024, 'x'), "text/html");
    LoopbackResponse streamed;
    streamed.body = QByteArray(200 * 1024, 'y');
    streamed.omitContentLength = true;
    server.serve("/streamed", streamed);
    server.serveBody("/fits", QByteArray(64 * 1024, 'z'), "text/html");
    NetworkHttpClient client;
    EXPECT_EQ(OneRequest(client, server.url("/declared"), smallLimits()).wait().error,
              QStringLiteral("回复过大"));
    EXPECT_EQ(OneRequest(client, server.url("/streamed"), smallLimits()).wait().error,
              QStringLiteral("回复过大"));
    EXPECT_TRUE(OneRequest(client, server.url("/fits"), smallLimits()).wait().ok);
}

TEST(NetworkHttpClient, GivesUpWhenTheServerNeverAnswersOrIsTooSlow)
{
    LoopbackHttpServer server;
    LoopbackResponse silent;
    silent.neverAnswer = true;
    server.serve("/silent", silent);
    LoopbackResponse slow;
    slow.body = "late";
    slow.delayMilliseconds = 3000;
    server.serve("/slow", slow);
    NetworkHttpClient client;
    const HttpLimits limits{500, 1024, 3};
    EXPECT_EQ(OneRequest(client, server.url("/silent"), limits).wait(3000).error, QStringLiteral("超时"));
    EXPECT_FALSE(OneRequest(client, server.url("/slow"), limits).wait(3000).ok);
}

TEST(NetworkHttpClient, RefusesLinksThatAreNotWebLinks)
{
    NetworkHttpClient client;
    for (const char *link : {"file:///etc/passwd", "javascript:alert(1)", "data:text/plain,x", "/relative"}) {
        OneRequest get(client, QString::fromLatin1(link), smallLimits());
        const HttpResult result = get.wait();
        EXPECT_FALSE(result.ok) << link;
        EXPECT_EQ(result.error, QStringLiteral("不是 http 或 https 链接")) << link;
    }
}

TEST(NetworkHttpClient, ACancelledRequestNeverReports)
{
    LoopbackHttpServer server;
    LoopbackResponse slow;
    slow.body = "late";
    slow.delayMilliseconds = 200;
    server.serve("/slow", slow);
    NetworkHttpClient client;
    OneRequest get(client, server.url("/slow"), smallLimits());
    get.request().cancel();
    // The same request made after it is answered after it: once that answer
    // is in, the cancelled one's would have been too.
    OneRequest again(client, server.url("/slow"), smallLimits());
    EXPECT_TRUE(again.wait().ok);
    ASSERT_TRUE(waitForPostedEvents());
    EXPECT_EQ(get.reports(), 0);
}

namespace {

// Caps the process's address space at what it uses now plus a budget, so a
// client that buffers without end fails here instead of taking the machine
// down. The old cap comes back at the end.
class AddressSpaceBudget
{
public:
    explicit AddressSpaceBudget(qint64 bytes)
    {
        getrlimit(RLIMIT_AS, &m_old);
        rlimit capped = m_old;
        capped.rlim_cur = rlim_t(mappedBytes() + bytes);
        if (m_old.rlim_cur == RLIM_INFINITY || capped.rlim_cur < m_old.rlim_cur)
            setrlimit(RLIMIT_AS, &capped);
    }
    ~AddressSpaceBudget() { setrlimit(RLIMIT_AS, &m_old); }

private:
    static qint64 mappedBytes()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmSize:"))
                return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
        return 0;
    }

    rlimit m_old{};
};

} // namespace

TEST(NetworkHttpClient, HoldsRedirectsToTheSameSizeAndTimeLimits)
{
    const auto redirect = [](const QByteArray &body) {
        LoopbackResponse response;
        response.status = 302;
        response.headers.append({QByteArray("Location"), QByteArray("/elsewhere")});
        response.body = body;
        return response;
    };
    LoopbackHttpServer server;
    LoopbackResponse endless = redirect({});
    endless.endlessBody = true;
    server.serve("/endless", endless);
    LoopbackResponse endlessPage;
    endlessPage.endlessBody = true;
    server.serve("/endless-page", endlessPage);
    LoopbackResponse declared = redirect({});
    declared.headers.append({QByteArray("Content-Length"), QByteArray("10000000000")});
    declared.stallAfterBody = true;
    server.serve("/declared", declared);
    LoopbackResponse stalled = redirect("moved");
    stalled.stallAfterBody = true;
    server.serve("/stalled", stalled);
    server.serveBody("/elsewhere", "arrived", "text/plain");
    NetworkHttpClient client;
    const HttpLimits limits{20 * 1000, 64 * 1024, 3};
    {
        const AddressSpaceBudget budget(256 * 1024 * 1024);
        EXPECT_EQ(OneRequest(client, server.url("/endless"), limits).wait(20 * 1000).error,
                  QStringLiteral("回复过大"));
        EXPECT_EQ(OneRequest(client, server.url("/endless-page"), limits).wait(20 * 1000).error,
                  QStringLiteral("回复过大"));
    }
    EXPECT_EQ(OneRequest(client, server.url("/declared"), limits).wait().error, QStringLiteral("回复过大"));
    EXPECT_EQ(OneRequest(client, server.url("/stalled"), {500, 64 * 1024, 3}).wait(3000).error,
              QStringLiteral("超时"));
    EXPECT_EQ(server.requestCount("/elsewhere"), 0);
}

TEST(NetworkHttpClient, WordsBrokenConnectionsAndRepliesInChinese)
{
    LoopbackHttpServer server;
    LoopbackResponse cut;
    cut.rawReply = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort";
    server.serve("/cut", cut);
    LoopbackResponse badGzip;
    badGzip.body = "this is not gzip";
    badGzip.headers.append({QByteArray("Content-Encoding"), QByteArray("gzip")});
    server.serve("/gzip", badGzip);
    QTcpServer gone;
    gone.listen(QHostAddress::LocalHost, 0);
    const quint16 refusing = gone.serverPort();
    gone.close();
    // Plain text where a TLS handshake is expected.
    QTcpServer plain;
    plain.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&plain, &QTcpServer::newConnection, [&plain] {
        QTcpSocket *socket = plain.nextPendingConnection();
        socket->write("HTTP/1.1 400 Bad Request\r\n\r\n");
        socket->disconnectFromHost();
    });
    NetworkHttpClient client;
    const auto reason = [&client](const QString &url) {
        return OneRequest(client, url, smallLimits()).wait().error;
    };
    EXPECT_EQ(reason(server.url("/cut")), QStringLiteral("连接被服务器关闭"));
    EXPECT_EQ(reason(server.url("/gzip")), QStringLiteral("回复内容无法读取"));
    EXPECT_EQ(reason(QStringLiteral("http://127.0.0.1:%1/").arg(refusing)), QStringLiteral("连接被拒绝"));
    EXPECT_EQ(reason(QStringLiteral("http://nowhere.invalid/")), QStringLiteral("找不到服务器"));
    EXPECT_EQ(reason(QStringLiteral("https://127.0.0.1:%1/").arg(plain.serverPort())),
              QStringLiteral("安全连接失败"));
}

TEST(NetworkHttpClient, EveryNetworkErrorHasAChineseReason)
{
    const QMetaEnum errors = QMetaEnum::fromType<QNetworkReply::NetworkError>();
    for (int i = 0; i < errors.keyCount(); ++i) {
        const QString reason = networkErrorReason(QNetworkReply::NetworkError(errors.value(i)));
        // The protocol's name is the only Latin word allowed.
        const QString rest = QString(reason).remove(
            QRegularExpression(QStringLiteral("https?"), QRegularExpression::CaseInsensitiveOption));
        EXPECT_FALSE(reason.isEmpty()) << errors.key(i);
        EXPECT_FALSE(rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) << errors.key(i);
    }
}
