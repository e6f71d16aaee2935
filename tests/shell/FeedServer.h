#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A tiny HTTP server on the loopback interface that answers each path with a canned raw
// response, so the updater is tested against a real connection without leaving the machine.
class FeedServer : public QObject {
    Q_OBJECT
public:
    FeedServer();

    // The whole response, status line and headers included; use ok() for a plain 200.
    void answer(const QString& path, const QByteArray& rawResponse) { m_responses.insert(path, rawResponse); }
    // While silent the server accepts connections but never answers.
    void setSilent(bool silent) { m_silent = silent; }

    QString url(const QString& path) const;
    int connectionCount() const { return m_connections; }
    // The paths asked for, in order.
    const QStringList& requestedPaths() const { return m_requested; }

    static QByteArray ok(const QByteArray& body);
    static QByteArray status(int code, const QByteArray& reason);

private:
    void accept();
    void read(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_responses;
    QStringList m_requested;
    int m_connections = 0;
    bool m_silent = false;
};
