#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

namespace {
constexpr int startTimeoutMs = 10000;
} // namespace

// Without a display number, Xvfb takes the first free one and prints it on -displayfd once it
// accepts connections. -noreset: otherwise the server resets (and zeroes its idle counter)
// whenever its last client leaves.
XvfbServer::XvfbServer()
{
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24"),
                    QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                    QStringLiteral("-displayfd"), QStringLiteral("1")});
    const QDeadlineTimer deadline(startTimeoutMs);
    while (m_server.waitForStarted(startTimeoutMs) && !m_server.canReadLine() &&
           m_server.state() == QProcess::Running && !deadline.hasExpired())
        m_server.waitForReadyRead(100);
    const QByteArray display = m_server.readLine().trimmed();
    if (!display.isEmpty())
        m_displayName = u':' + QString::fromLatin1(display);
}

XvfbServer::~XvfbServer()
{
    stop();
}

void XvfbServer::stop()
{
    m_server.terminate();
    if (!m_server.waitForFinished(3000))
        m_server.kill();
    m_server.waitForFinished(3000);
}

bool XvfbServer::run(const QString& program, const QStringList& arguments) const
{
    return output(program, arguments).has_value();
}

std::optional<QString> XvfbServer::output(const QString& program, const QStringList& arguments) const
{
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_displayName);
    client.setProcessEnvironment(environment);
    client.start(program, arguments);
    if (!client.waitForFinished(10000) || client.exitStatus() != QProcess::NormalExit ||
        client.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(client.readAllStandardOutput());
}
