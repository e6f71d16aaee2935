#pragma once

#include "AppcastItem.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class NetworkAccess;
class QNetworkReply;

// Fetches an update's enclosure into a folder, keeping it only when its length and SHA-256
// digest match what the feed announced, so a truncated or altered file never reaches the
// user's downloads.
class UpdateDownloader : public QObject {
    Q_OBJECT
public:
    UpdateDownloader(NetworkAccess& network, QString directory, std::chrono::milliseconds timeout,
                     QObject* parent = nullptr);

    // `done` gets the saved file's path, or an empty path and why nothing was saved, in words
    // for the user. It is called later, never from within this call.
    using Done = std::function<void(const QString& savedPath, const QString& failure)>;
    void download(const AppcastItem& item, Done done);

    static bool matches(const QByteArray& body, const AppcastItem& item);

private:
    QString save(const QByteArray& body, const AppcastItem& item) const;

    NetworkAccess& m_network;
    QString m_directory;
    std::chrono::milliseconds m_timeout;
};
