#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

namespace {

constexpr int firstDisplay = 120;
constexpr int displaysToTry = 40;
constexpr int startTimeoutMs = 10000;

} // namespace

XvfbServer::XvfbServer()
{
    for (int display = firstDisplay; display < firstDisplay + displaysToTry; ++display) {
        if (startOn(display))
            return;
    }
}

XvfbServer::~XvfbServer()
{
    stop();
}

bool XvfbServer::startOn(int display)
{
    // -noreset: otherwise the server resets (and zeroes its idle counter) whenever its last
    // client leaves. -displayfd 1 prints the display number once connections are accepted.
    const QString name = u':' + QString::number(display);
    m_server.start(QStringLiteral("Xvfb"),
                   {name, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24"),
                    QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                    QStringLiteral("-displayfd"), QStringLiteral("1")});
    if (!m_server.waitForStarted(startTimeoutMs))
        return false;
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!m_server.canReadLine() && m_server.state() == QProcess::Running && !deadline.hasExpired())
        m_server.waitForReadyRead(100);
    if (m_server.canReadLine() && m_server.readLine().trimmed() == QByteArray::number(display)) {
        m_displayName = name;
        return true;
    }
    // Most often the display number is taken by another server; the caller tries the next one.
    stop();
    return false;
}

void XvfbServer::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}

bool XvfbServer::run(const QString& program, const QStringList& arguments) const
{
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_displayName);
    client.setProcessEnvironment(environment);
    client.start(program, arguments);
    return client.waitForFinished(10000) && client.exitStatus() == QProcess::NormalExit &&
           client.exitCode() == 0;
}
