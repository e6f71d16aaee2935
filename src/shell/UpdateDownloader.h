#pragma once

#include "AppcastItem.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches an update's enclosure into a folder, keeping it only when its length and SHA-256
// digest match what the feed announced, so a truncated or altered file never reaches the
// user's downloads.
class UpdateDownloader : public QObject {
    Q_OBJECT
public:
    UpdateDownloader(QNetworkAccessManager& network, QString directory, std::chrono::milliseconds timeout,
                     QObject* parent = nullptr);

    // `done` gets the saved file's path, or an empty string when the download failed, did not
    // match, or could not be written. It is called later, never from within this call.
    void download(const AppcastItem& item, std::function<void(const QString& savedPath)> done);

    static bool matches(const QByteArray& body, const AppcastItem& item);

private:
    QString save(const QByteArray& body, const AppcastItem& item) const;

    QNetworkAccessManager& m_network;
    QString m_directory;
    std::chrono::milliseconds m_timeout;
};
