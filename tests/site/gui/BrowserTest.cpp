#include "site/SiteFixture.h"
#include "support/WebPageDriving.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// A small HTTP server for one site: "/movie/..." from the movie root, every
// other path from the output folder. Answers GET with the whole file.
class SiteServer : public QObject
{
public:
    SiteServer(QString web, QString movies) : m_web(std::move(web)), m_movies(std::move(movies))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    const QStringList &served() const { return m_served; }

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        m_pending.remove(socket);
        const QString path =
            words.size() > 1 ? QUrl::fromPercentEncoding(words.at(1).split('?').first()) : QString();
        const QString file =
            path.startsWith(QLatin1String("/movie/")) ? m_movies + path.mid(6) : m_web + path;
        QFile in(file);
        QByteArray body;
        QByteArray status = "404 Not Found";
        if (!path.contains(QLatin1String("..")) && in.open(QIODevice::ReadOnly)) {
            body = in.readAll();
            status = "200 OK";
            m_served.append(path);
        }
        QByteArray type = "application/octet-stream";
        if (path.endsWith(QLatin1String(".html")))
            type = "text/html";
        else if (path.endsWith(QLatin1String(".jpg")))
            type = "image/jpeg";
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QString m_web;
    QString m_movies;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QStringList m_served;
};

QByteArray jpeg()
{
    QImage image(185, 250, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return buffer.data();
}

class Browser : public SiteTest
{};

} // namespace

TEST_F(Browser, ShowsTheIndexAndPlaysEveryEpisodeWhateverItsName)
{
    const QStringList episodes = {
        QStringLiteral("01 plain.mp4"),
        QStringLiteral("02 it's & #1 <b> a\\b 第二集.mp4"),
        QStringLiteral("03 \"quoted\" 100%.mp4"),
    };
    space.writeSiteSettings(space.path(QStringLiteral("movies")));
    addProject(QStringLiteral("Tom's & Jerry"), QStringLiteral("movies/Cartoons/Tom"), episodes);
    addProject(QStringLiteral("甲 剧集"), QStringLiteral("movies/甲"), {QStringLiteral("1.mp4")});
    addProject(QStringLiteral("Third"), QStringLiteral("movies/Third"));
    for (const QString &name : projects.names())
        space.writeBytes(QStringLiteral("Web/Image/") + name + QStringLiteral(".jpg"), jpeg());
    ASSERT_TRUE(generate().succeeded()) << failureLines().join(u'\n').toStdString();

    SiteServer server(space.path(QStringLiteral("Web")), space.path(QStringLiteral("movies")));
    QWebEnginePage page;
    ASSERT_TRUE(loadPage(page, QUrl(server.base() + QStringLiteral("/index.html"))));
    EXPECT_EQ(evaluate(page, QStringLiteral("document.querySelectorAll('td').length")).toInt(), 3);
    EXPECT_TRUE(waitForScript(page, QStringLiteral("Array.from(document.images).length == 3 && "
                                                   "Array.from(document.images).every(i => i.complete && "
                                                   "i.naturalWidth == 185)")));
    EXPECT_EQ(
        evaluate(page, QStringLiteral("document.body.innerText")).toString().count(QStringLiteral("共")), 3);

    ASSERT_TRUE(loadPage(
        page, QUrl(server.base() + QStringLiteral("/Data/") +
                   QString::fromUtf8(QUrl::toPercentEncoding(QStringLiteral("Tom's & Jerry.html"))))));
    for (int number = 1; number <= episodes.size(); ++number) {
        const QString episode = episodes.at(number - 1);
        evaluate(page,
                 QStringLiteral("document.querySelector('button[onclick=\"scr%1()\"]').click()").arg(number));
        const QUrl source(evaluate(page, QStringLiteral("document.getElementById('video1').src")).toString());
        EXPECT_EQ(source.path(QUrl::FullyDecoded), QStringLiteral("/movie/Cartoons/Tom/") + episode)
            << number;
        EXPECT_EQ(evaluate(page, QStringLiteral("document.getElementById('Titel').textContent")).toString(),
                  QStringLiteral("Tom's & Jerry ") + episode.left(episode.lastIndexOf(u'.')));
        // The server answers that URL with the episode's file.
        evaluate(page, QStringLiteral("window.answer = null; fetch(document.getElementById('video1').src)"
                                      ".then(r => r.text()).then(t => window.answer = t)"));
        EXPECT_TRUE(waitForScript(page, QStringLiteral("window.answer !== null")));
        EXPECT_EQ(evaluate(page, QStringLiteral("window.answer")).toString(),
                  QStringLiteral("video ") + episode);
    }
    EXPECT_EQ(evaluate(page, QStringLiteral("document.querySelectorAll('#right button').length")).toInt(), 3);
}
