#include "support/LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace tessaly::testing {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onConnection);
}

QString LoopbackHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LoopbackHttpServer::serve(const QString &target, const LoopbackResponse &response)
{
    m_responses.insert(target, response);
}

void LoopbackHttpServer::serveBody(const QString &target, const QByteArray &body,
                                   const QByteArray &contentType)
{
    LoopbackResponse response;
    response.body = body;
    response.contentType = contentType;
    serve(target, response);
}

void LoopbackHttpServer::serveRedirect(const QString &target, const QString &location, int status)
{
    LoopbackResponse response;
    response.status = status;
    response.headers.append({"Location", location.toUtf8()});
    serve(target, response);
}

int LoopbackHttpServer::requestCount(const QString &target) const
{
    return int(m_requests.count(target));
}

void LoopbackHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadable(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    // Requests have no body here; each ends with an empty line.
    qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    while (headerEnd >= 0) {
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        buffer.remove(0, headerEnd + 4);
        headerEnd = buffer.indexOf("\r\n\r\n");
        const QString target = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
        m_requests.append(target);
        const bool head = !requestLine.isEmpty() && requestLine[0] == "HEAD";
        m_methods.append(QString::fromLatin1(requestLine.value(0)));

        LoopbackResponse response;
        if (m_responses.contains(target))
            response = m_responses.value(target);
        else if (m_responses.contains(target.section(u'?', 0, 0)))
            response = m_responses.value(target.section(u'?', 0, 0));
        else
            response = {404, "text/plain", "not found", {}, 0, false, false};

        if (head && response.refuseHead)
            response = {405, "text/plain", "no HEAD here", {}, 0, false, false, false};
        if (response.neverAnswer)
            return;
        if (response.delayMilliseconds > 0)
            QTimer::singleShot(response.delayMilliseconds, socket,
                               [this, socket, response, head] { answer(socket, response, head); });
        else
            answer(socket, response, head);
    }
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const LoopbackResponse &response, bool headOnly)
{
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (!response.omitContentLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto &[name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    if (response.omitContentLength)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    if (!headOnly)
        socket->write(response.body);
    // Without a length the body ends with the connection; otherwise the
    // client may send its next request on it.
    if (response.omitContentLength)
        socket->disconnectFromHost();
}

} // namespace tessaly::testing
