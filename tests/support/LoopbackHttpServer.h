#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <atomic>
#include <thread>
#include <vector>

class QTcpSocket;

namespace tessaly::testing {

// What the server answers for one path.
struct LoopbackResponse
{
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMilliseconds = 0;
    bool neverAnswer = false;       // keeps the connection open, silent
    bool omitContentLength = false; // the body ends when the connection closes
    bool endlessBody = false;       // after the body, filler without end or length, as fast as it is taken
    bool stallAfterBody = false;    // after the body, the connection stays open and silent
    QByteArray rawReply;            // if set, sent instead of all the above, then the connection closes
    bool refuseHead = false;        // HEAD gets 405
};

// A small HTTP/1.1 server on 127.0.0.1 for tests: serves fixed responses by
// request target (exact, or the path without its query) and records every
// target asked for. Unknown targets get 404.
class LoopbackHttpServer : public QObject
{
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString &path) const;

    void serve(const QString &target, const LoopbackResponse &response);
    void serveBody(const QString &target, const QByteArray &body, const QByteArray &contentType);
    void serveRedirect(const QString &target, const QString &location, int status = 302);
    // Answers every path below `prefix` ("/site/") with the file of that
    // name below the folder (the path percent-decoded), typed by its
    // extension, as a static web server does.
    void serveFolder(const QString &prefix, const QString &folder);

    // The request targets in arrival order, as sent (percent-encoded).
    const QStringList &requests() const { return m_requests; }
    // Their methods, in the same order.
    const QStringList &methods() const { return m_methods; }
    int requestCount(const QString &target) const;

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const LoopbackResponse &response, bool head = false);
    void fill(int descriptor) const;

    QTcpServer m_server;
    QHash<QString, LoopbackResponse> m_responses;
    QList<QPair<QString, QString>> m_folders;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QStringList m_requests;
    std::vector<std::thread> m_fillers;
    std::atomic<bool> m_stopping = false;
    QStringList m_methods;
};

// A PNG picture of the given size and colour, made in memory.
QByteArray makePicture(int width, int height, unsigned colour = 0xff3366cc);

} // namespace tessaly::testing
