#pragma once

#include <QProcess>
#include <QString>

#include <optional>

// An Xvfb of the test's own on a free display number, so X11 code is tested against a real
// server and never touches the user's display. Stopped when this object goes away.
class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool isRunning() const { return !m_displayName.isEmpty(); }
    // Ends the server, as the end of a session does; its clients lose their connection.
    void stop();
    // ":120" and the like.
    QString displayName() const { return m_displayName; }
    // Runs a client such as xdotool against this display; true when it exits with 0.
    bool run(const QString& program, const QStringList& arguments) const;
    // What the client printed, when it exits with 0.
    std::optional<QString> output(const QString& program, const QStringList& arguments) const;

private:
    QProcess m_server;
    QString m_displayName;
};
