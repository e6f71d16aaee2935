#include "FeedServer.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

FeedServer::FeedServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &FeedServer::accept);
}

QString FeedServer::url(const QString& path) const
{
    return u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path);
}

QByteArray FeedServer::ok(const QByteArray& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray FeedServer::status(int code, const QByteArray& reason)
{
    return "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

void FeedServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
    }
}

// Requests are GETs without a body: complete once the empty line after the headers arrives.
void FeedServer::read(QTcpSocket* socket)
{
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || m_silent)
        return;
    const QString path = QString::fromLatin1(request.split(' ').value(1));
    m_requested.append(path);
    socket->write(m_responses.value(path, status(404, "Not Found")));
    socket->disconnectFromHost();
}
