#pragma once

#include <QList>
#include <QString>
#include <QtMessageHandler>

// Records every Qt log message while alive, for tests that check what reaches the log.
class LogCapture {
public:
    struct Entry {
        QtMsgType type;
        QString category;
        QString message;
    };

    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QList<Entry>& entries() const { return m_entries; }
    int count(QtMsgType type, const QString& category, const QString& message) const;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QList<Entry> m_entries;
    QtMessageHandler m_previous;
};
