#pragma once
// A small HTTP server on 127.0.0.1 that the test runs itself (no internet): it answers GET
// requests by path with what the test set for that path, and 404 for any other.

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

class CalendarServer : public QObject
{
public:
    struct Answer
    {
        Answer(QByteArray status = "200 OK", QByteArray contentType = "text/calendar", QByteArray body = {},
               QByteArray headers = {})
            : status(std::move(status)), contentType(std::move(contentType)), body(std::move(body)),
              headers(std::move(headers))
        {}
        QByteArray status;
        QByteArray contentType;
        QByteArray body;
        QByteArray headers; // further header lines, each ending in "\r\n" ("Location: /a.ics\r\n")
    };

    CalendarServer()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRead(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

    QHash<QByteArray, Answer> answers; // by path ("/a.ics")
    QList<QByteArray> silent;          // paths that are never answered
    QList<QByteArray> requests;        // the path of each request as it arrived
    QList<QByteArray> heads;           // the head of each request (request line and headers)
    int inFlight = 0;                  // requests taken but not yet answered or dropped
    int maxInFlight = 0;

private:
    void onRead(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        const QByteArray path = head.split(' ').value(1);
        buffer.clear();
        requests << path;
        heads << head;
        // A client that gave up on an unanswered request closes it in its network thread, on that
        // thread's own time, and this server may read the next request before it notices the close:
        // such a close gets its moment before this request counts, or it would look like two at once.
        for (const QPointer<QTcpSocket> &other : std::as_const(unanswered_))
            if (other && other != socket && other->state() == QAbstractSocket::ConnectedState)
                other->waitForDisconnected(250);
        maxInFlight = std::max(maxInFlight, ++inFlight);
        if (silent.contains(path)) {
            unanswered_ << socket;
            connect(socket, &QTcpSocket::disconnected, this, [this] { --inFlight; });
            return;
        }
        const Answer answer = answers.value(path, Answer{"404 Not Found", "text/html", "<html>not found</html>"});
        socket->write("HTTP/1.1 " + answer.status + "\r\nContent-Type: " + answer.contentType + "\r\n" +
                      answer.headers + "Content-Length: " + QByteArray::number(answer.body.size()) +
                      "\r\nConnection: close\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
        --inFlight;
    }

    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> buffers_;
    QList<QPointer<QTcpSocket>> unanswered_;
};
