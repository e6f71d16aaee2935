#pragma once

#include "UpdateControls.h"

#include <QVariantMap>

#include <chrono>
#include <memory>

class NetworkAccess;
class Preferences;
class QNetworkReply;
class UpdateAlerts;
class Updater;

// The settings window's view of software updates. It starts the updater, mirrors whether a
// check may start now, persists the automatic-download choice under "SUAutomaticallyUpdate",
// and runs the manual check: a probe of the feed that hands over to the updater's interactive
// check only when the feed lists at least one item, and otherwise says the application is up
// to date. Every failure of the probe ends in that same message.
class UpdaterController : public UpdateControls {
    Q_OBJECT
public:
    struct Options {
        // "SUFeedURL", "CFBundleName", "CFBundleShortVersionString"; see BundleInformation.
        QVariantMap bundleInformation;
        // A probe that stalls this long counts as failed.
        std::chrono::milliseconds probeTimeout = std::chrono::seconds(30);
    };

    static inline const QString automaticallyUpdateKey = QStringLiteral("SUAutomaticallyUpdate");

    // Registers the preference default, starts the updater and gives it the stored choice.
    UpdaterController(std::unique_ptr<Updater> updater, Preferences& preferences, NetworkAccess& network,
                      UpdateAlerts& alerts, Options options, QObject* parent = nullptr);
    ~UpdaterController() override;

    bool canCheckForUpdates() const override { return m_canCheckForUpdates; }
    bool automaticallyDownloadsUpdates() const override { return m_automaticallyDownloadsUpdates; }
    void setAutomaticallyDownloadsUpdates(bool enabled) override;
    void checkForUpdates() override;
    void showUpToDateAlert();

private:
    void mirrorCanCheckForUpdates(bool canCheck);
    void probeFinished(QNetworkReply* reply);
    static bool listsItems(const QByteArray& body);

    std::unique_ptr<Updater> m_updater;
    Preferences& m_preferences;
    NetworkAccess& m_network;
    UpdateAlerts& m_alerts;
    Options m_options;
    bool m_canCheckForUpdates = false;
    bool m_automaticallyDownloadsUpdates = true;
};
