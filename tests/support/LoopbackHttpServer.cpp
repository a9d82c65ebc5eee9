#include "support/LoopbackHttpServer.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <optional>
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
    case 206:
        return "Partial Content";
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

// A file of a served folder, or nothing for a path that leaves it. Ranges
// are served as media players ask for them: a video is seekable only then.
std::optional<LoopbackResponse> fileResponse(const QString &folder, const QString &path,
                                             const QByteArray &header)
{
    const QByteArray relative = QByteArray::fromPercentEncoding(path.toLatin1());
    if (relative.split('/').contains(".."))
        return std::nullopt;
    QFile file(folder + u'/' + QFile::decodeName(relative));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    static const QHash<QString, QByteArray> types = {{QStringLiteral("html"), "text/html; charset=utf-8"},
                                                     {QStringLiteral("vtt"), "text/vtt; charset=utf-8"},
                                                     {QStringLiteral("js"), "text/javascript"},
                                                     {QStringLiteral("webm"), "video/webm"},
                                                     {QStringLiteral("jpg"), "image/jpeg"}};
    LoopbackResponse response;
    response.contentType = types.value(QFileInfo(file).suffix(), "application/octet-stream");
    response.body = file.readAll();
    response.headers.append(qMakePair(QByteArray("Accept-Ranges"), QByteArray("bytes")));
    static const QRegularExpression range(QStringLiteral(R"(\r\nrange:\s*bytes=(\d+)-(\d*))"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch asked = range.match(QString::fromLatin1(header));
    const qsizetype size = response.body.size();
    if (asked.hasMatch() && asked.captured(1).toLongLong() < size) {
        const qsizetype from = asked.captured(1).toLongLong();
        const qsizetype to = asked.captured(2).isEmpty()
                                 ? size - 1
                                 : std::min(asked.captured(2).toLongLong(), qint64(size - 1));
        response.status = 206;
        response.headers.append(qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(from) +
                                                                           '-' + QByteArray::number(to) +
                                                                           '/' + QByteArray::number(size)));
        response.body = response.body.sliced(from, to - from + 1);
    }
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

void LoopbackHttpServer::serveFolder(const QString &prefix, const QString &folder)
{
    m_folders.append({prefix, folder});
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
        const QByteArray header = buffer.left(headerEnd);
        buffer.remove(0, headerEnd + 4);
        headerEnd = buffer.indexOf("\r\n\r\n");
        const QString target = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
        m_requests.append(target);
        const bool head = !requestLine.isEmpty() && requestLine[0] == "HEAD";
        m_methods.append(QString::fromLatin1(requestLine.value(0)));

        const QString path = target.section(u'?', 0, 0);
        LoopbackResponse response = notFound();
        if (m_responses.contains(target))
            response = m_responses.value(target);
        else if (m_responses.contains(path))
            response = m_responses.value(path);
        for (const auto &[prefix, folder] : std::as_const(m_folders)) {
            if (path.startsWith(prefix))
                response = fileResponse(folder, path.sliced(prefix.size()), header).value_or(response);
        }

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
