#include "platform/network/NetworkServerProbe.h"
#include "site/ServerCheck.h"
#include "site/SiteFixture.h"
#include "support/Waiting.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Debian's nginx, started for one test on a free loopback port from a
// configuration of its own, with the site folder as its root; stopped at
// the end. Its own service is never touched.
class Nginx
{
public:
    explicit Nginx(const QString &root)
    {
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (program.isEmpty()) {
            m_why = "nginx is not installed";
            return;
        }
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            m_port = probe.serverPort();
        }
        const QString folder = m_folder.path();
        const QString config = folder + QStringLiteral("/nginx.conf");
        QString text =
            QStringLiteral(
                "daemon off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
                "events { worker_connections 64; }\n"
                "http {\n  access_log off;\n"
                "  client_body_temp_path %1/body; proxy_temp_path %1/proxy; fastcgi_temp_path %1/fastcgi;\n"
                "  uwsgi_temp_path %1/uwsgi; scgi_temp_path %1/scgi;\n"
                "  types { text/html html; image/jpeg jpg; video/mp4 mp4; }\n"
                "  server { listen 127.0.0.1:%2; root \"%3\"; }\n}\n")
                .arg(folder)
                .arg(m_port)
                .arg(root);
        // Run by root, the workers read the test's private folders as root.
        if (::geteuid() == 0)
            text.prepend(QStringLiteral("user root root;\n"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
            m_why = "cannot write the nginx configuration";
            return;
        }
        file.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {QStringLiteral("-p"), folder, QStringLiteral("-c"), config});
        const bool listening = waitUntil(
            [this] {
                if (m_process.state() == QProcess::NotRunning)
                    return true;
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                return socket.waitForConnected(100);
            },
            10000);
        if (!listening || m_process.state() == QProcess::NotRunning) {
            m_why = "nginx did not start: " + m_process.readAll().toStdString();
            return;
        }
        m_running = true;
    }
    ~Nginx()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool isRunning() const { return m_running; }
    const std::string &whyNot() const { return m_why; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_running = false;
    std::string m_why;
};

struct Answer
{
    int status = 0;
    QByteArray body;
};

Answer fetch(const QString &url, const QByteArray &range = {})
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    if (!range.isEmpty())
        request.setRawHeader("Range", range);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    delete reply;
    return answer;
}

} // namespace

TEST_F(SiteTest, NginxServesThePublishedSiteAndItsVideosThroughMovie)
{
    const QString site = space.makeFolder(QStringLiteral("www"));
    addProject(QStringLiteral("Series A"), QStringLiteral("movies/Series A"), {QStringLiteral("01.mp4")});
    space.writeBytes(QStringLiteral("www/index.html"), "<html>Welcome to nginx!</html>");
    const Nginx nginx(site);
    if (!nginx.isRunning())
        GTEST_SKIP() << nginx.whyNot();
    NetworkServerProbe probe;
    const auto runOnce = [&] {
        return runSite(std::nullopt, [&probe](SiteRun &run) { run.setServerProbe(&probe); });
    };
    space.writeSiteSettings(space.path(QStringLiteral("movies")), site,
                            nginx.url(QStringLiteral("/index.html")), QStringLiteral("True"));

    // The server's welcome page stays; without `movie` the videos are missing.
    runOnce();
    EXPECT_EQ(space.readBytes(QStringLiteral("www/index.html")),
              QByteArray("<html>Welcome to nginx!</html>"));
    EXPECT_TRUE(lines.texts().contains(QStringLiteral("网页服务器无法提供视频: ") +
                                       nginx.url(QStringLiteral("/movie/Series A/01.mp4")) +
                                       QStringLiteral(" (HTTP 状态 404)")))
        << lines.texts().join(u'\n').toStdString();

    QFile::remove(site + QStringLiteral("/index.html"));
    ASSERT_TRUE(QFile::link(space.path(QStringLiteral("movies")), site + QStringLiteral("/movie")));
    EXPECT_TRUE(runOnce().succeeded()) << lines.texts().join(u'\n').toStdString();
    EXPECT_FALSE(lines.texts().join(u'\n').contains(QStringLiteral("网页服务器")));

    EXPECT_EQ(fetch(nginx.url(QStringLiteral("/index.html"))).body,
              space.readBytes(QStringLiteral("Web/index.html")));
    EXPECT_EQ(fetch(nginx.url(QStringLiteral("/Data/Series%20A.html"))).status, 200);
    EXPECT_EQ(fetch(nginx.url(QStringLiteral("/Image/Series%20A.jpg"))).body,
              QByteArray("cover of Series A"));
    const Answer part = fetch(nginx.url(QStringLiteral("/movie/Series%20A/01.mp4")), "bytes=2-4");
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, QByteArray("deo"));
}
