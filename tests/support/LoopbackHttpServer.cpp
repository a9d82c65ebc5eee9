#include "support/LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

LoopbackResponse notFound()
{
    LoopbackResponse response;
    response.status = 404;
    response.contentType = "text/plain";
    response.body = "not found";
    return response;
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
            response = notFound();

        if (head && response.refuseHead) {
            response = LoopbackResponse();
            response.status = 405;
            response.contentType = "text/plain";
            response.body = "no HEAD here";
        }
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
    if (!response.rawReply.isEmpty()) {
        socket->write(response.rawReply);
        socket->disconnectFromHost();
        return;
    }
    const bool lengthless = response.omitContentLength || response.endlessBody || response.stallAfterBody;
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (!lengthless)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto &[name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    if (lengthless)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    if (!headOnly)
        socket->write(response.body);
    if (response.endlessBody && !headOnly) {
        socket->flush();
        // The client may take the filler as fast as it can: a thread of
        // its own keeps sending on a copy of the connection until the
        // client goes away or the server ends.
        const int descriptor = dup(int(socket->socketDescriptor()));
        if (descriptor >= 0)
            m_fillers.emplace_back([this, descriptor] { fill(descriptor); });
        return;
    }
    // Without a length the body ends with the connection; otherwise the
    // client may send its next request on it.
    if (response.omitContentLength)
        socket->disconnectFromHost();
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stopping = true;
    for (std::thread &filler : m_fillers)
        filler.join();
}

void LoopbackHttpServer::fill(int descriptor) const
{
    const QByteArray filler(1024 * 1024, 'f');
    pollfd writable{descriptor, POLLOUT, 0};
    while (!m_stopping) {
        if (poll(&writable, 1, 50) <= 0)
            continue;
        if (send(descriptor, filler.constData(), size_t(filler.size()), MSG_NOSIGNAL) < 0 &&
            errno != EAGAIN && errno != EINTR)
            break;
    }
    close(descriptor);
}

} // namespace tessaly::testing
