#pragma once

#include "AppcastItem.h"
#include "UpdateDownloader.h"
#include "Updater.h"

#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <chrono>

class NetworkAccess;
class NotificationCenter;
class QNetworkReply;
class UpdateAlerts;

// The updater of the Linux build: reads the feed named by the information dictionary's
// "SUFeedURL" over Qt Network, checks once a day (the first time shortly after start-up),
// offers newer releases, and with automatic downloads on saves a verified download in the
// user's download folder and says so in a notification. Without a feed it never touches the
// network.
class AppcastUpdater : public Updater {
    Q_OBJECT
public:
    struct Options {
        // "SUFeedURL", "CFBundleName" and "CFBundleShortVersionString"; see BundleInformation.
        QVariantMap bundleInformation;
        // Where downloaded updates are saved (the user's download folder in the application).
        QString downloadDirectory;
        bool automaticChecks = true;
        std::chrono::milliseconds firstCheckDelay = std::chrono::minutes(1);
        std::chrono::milliseconds checkInterval = std::chrono::hours(24);
        // A feed or download that stalls this long counts as failed.
        std::chrono::milliseconds transferTimeout = std::chrono::seconds(30);
    };

    AppcastUpdater(Options options, NetworkAccess& network, UpdateAlerts& alerts,
                   NotificationCenter& notifications, QObject* parent = nullptr);

    void start() override;
    bool canCheckForUpdates() const override { return m_started && !m_busy; }
    bool automaticallyDownloadsUpdates() const override { return m_automaticDownloads; }
    void setAutomaticallyDownloadsUpdates(bool enabled) override { m_automaticDownloads = enabled; }
    void checkForUpdates() override;

    static inline const QString notificationIdentifier = QStringLiteral("com.lumatick.update");

private:
    void checkInBackground();
    void fetchFeed();
    void feedFetched(QNetworkReply* reply);
    void present(const std::optional<AppcastItem>& newest);
    // A download the user asked for says so when it fails; a background one only tries again
    // at the next check.
    void download(const AppcastItem& item, bool userAsked);
    void downloaded(const AppcastItem& item, const QString& savedPath, const QString& failure,
                    bool userAsked);
    void showUpToDate();
    void setBusy(bool busy);

    Options m_options;
    QUrl m_feedUrl;
    QString m_runningVersion;
    NetworkAccess& m_network;
    UpdateAlerts& m_alerts;
    NotificationCenter& m_notifications;
    UpdateDownloader m_downloader;
    QTimer m_schedule;
    bool m_started = false;
    // Busy covers the whole session, fetching the feed and then downloading.
    bool m_busy = false;
    bool m_fetching = false;
    // Set when the user asked; a check already running then reports to the user too.
    bool m_interactive = false;
    bool m_automaticDownloads = true;
    QString m_downloadedVersion;
};
