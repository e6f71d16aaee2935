#pragma once

#include <QList>
#include <QString>
#include <QtMessageHandler>

#include <algorithm>
#include <utility>

// Records every Qt log message while alive, for tests of what reaches the journal. Qt's
// handler is a plain function, so it reaches the one live capture through a static; tests are
// single-threaded and captures do not nest.
class LogCapture {
public:
    LogCapture() { live() = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        live() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    qsizetype size() const { return m_messages.size(); }
    // The messages of type that contain text.
    qsizetype count(QtMsgType type, const QString& text = {}) const
    {
        return std::ranges::count(m_messages, true,
                                  [&](const auto& m) { return m.first == type && m.second.contains(text); });
    }

private:
    static LogCapture*& live()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (live())
            live()->m_messages.append({type, message});
    }

    QList<std::pair<QtMsgType, QString>> m_messages;
    QtMessageHandler m_previous = qInstallMessageHandler(&handle);
};
