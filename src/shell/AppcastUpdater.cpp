#include "AppcastUpdater.h"

#include "Appcast.h"
#include "BundleInformation.h"
#include "NetworkAccess.h"
#include "NotificationCenter.h"
#include "NotificationRequest.h"
#include "UpdateAlerts.h"
#include "UpdateUrlPolicy.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

using namespace Qt::StringLiterals;

AppcastUpdater::AppcastUpdater(Options options, NetworkAccess& network, UpdateAlerts& alerts,
                               NotificationCenter& notifications, QObject* parent)
    : Updater(parent)
    , m_options(std::move(options))
    , m_feedUrl(m_options.bundleInformation.value(BundleInformation::feedUrlKey).toString())
    , m_runningVersion(m_options.bundleInformation.value(BundleInformation::shortVersionKey).toString())
    , m_network(network)
    , m_alerts(alerts)
    , m_notifications(notifications)
    , m_downloader(network, m_options.downloadDirectory, m_options.transferTimeout)
{
    m_schedule.setSingleShot(false);
    connect(&m_schedule, &QTimer::timeout, this, &AppcastUpdater::checkInBackground);
}

void AppcastUpdater::start()
{
    if (m_started)
        return;
    m_started = true;
    Q_EMIT canCheckForUpdatesChanged(canCheckForUpdates());
    if (!m_options.automaticChecks || !UpdateUrlPolicy::isAllowed(m_feedUrl))
        return;
    m_schedule.setInterval(m_options.checkInterval);
    m_schedule.start();
    QTimer::singleShot(m_options.firstCheckDelay, this, &AppcastUpdater::checkInBackground);
}

// A check asked for while the feed is being read takes over that reading; one asked for
// while a download runs is dropped, as the settings window offers no check then.
void AppcastUpdater::checkForUpdates()
{
    if (m_fetching) {
        m_interactive = true;
        return;
    }
    if (m_busy)
        return;
    if (!UpdateUrlPolicy::isAllowed(m_feedUrl)) {
        showUpToDate();
        return;
    }
    m_interactive = true;
    fetchFeed();
}

void AppcastUpdater::checkInBackground()
{
    if (!m_busy)
        fetchFeed();
}

void AppcastUpdater::fetchFeed()
{
    setBusy(true);
    m_fetching = true;
    QNetworkRequest request(m_feedUrl);
    request.setTransferTimeout(static_cast<int>(m_options.transferTimeout.count()));
    QNetworkReply* reply = m_network.manager().get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { feedFetched(reply); });
}

void AppcastUpdater::feedFetched(QNetworkReply* reply)
{
    reply->deleteLater();
    m_fetching = false;
    const bool ok = reply->error() == QNetworkReply::NoError &&
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    const std::optional<QList<AppcastItem>> items = ok ? Appcast::parse(reply->readAll()) : std::nullopt;
    const bool interactive = std::exchange(m_interactive, false);
    if (!items) {
        setBusy(false);
        if (interactive)
            m_alerts.showMessage(u"Update Error!"_s,
                                 u"The update information could not be read. Please try again later."_s);
        return;
    }
    const std::optional<AppcastItem> newest = Appcast::newestNewerThan(*items, m_runningVersion);
    if (newest && m_automaticDownloads && !interactive) {
        download(*newest, false);
        return;
    }
    setBusy(false);
    if (interactive || newest)
        present(newest);
}

void AppcastUpdater::present(const std::optional<AppcastItem>& newest)
{
    if (!newest) {
        showUpToDate();
        return;
    }
    const QPointer<AppcastUpdater> self(this);
    const AppcastItem item = *newest;
    m_alerts.offerUpdate(item, m_runningVersion, [self, item] {
        if (self && !self->m_busy)
            self->download(item, true);
    });
}

void AppcastUpdater::download(const AppcastItem& item, bool userAsked)
{
    // A release already saved in this run is not fetched again by the daily check.
    if (item.version == m_downloadedVersion) {
        setBusy(false);
        return;
    }
    setBusy(true);
    m_downloader.download(item, [this, item, userAsked](const QString& savedPath, const QString& failure) {
        downloaded(item, savedPath, failure, userAsked);
    });
}

void AppcastUpdater::downloaded(const AppcastItem& item, const QString& savedPath, const QString& failure,
                                bool userAsked)
{
    setBusy(false);
    if (savedPath.isEmpty()) {
        if (userAsked)
            m_alerts.showMessage(u"Update Error!"_s, failure);
        return;
    }
    m_downloadedVersion = item.version;
    const QString name = m_options.bundleInformation.value(BundleInformation::nameKey).toString();
    NotificationRequest request;
    request.identifier = notificationIdentifier;
    request.title = notificationTitle;
    request.body = u"%1 %2 has been downloaded to %3."_s.arg(name, item.displayVersion(),
                                                             QDir::toNativeSeparators(savedPath));
    m_notifications.add(request);
}

void AppcastUpdater::showUpToDate()
{
    m_alerts.showUpToDate(m_options.bundleInformation);
}

void AppcastUpdater::setBusy(bool busy)
{
    const bool could = canCheckForUpdates();
    m_busy = busy;
    if (could != canCheckForUpdates())
        Q_EMIT canCheckForUpdatesChanged(canCheckForUpdates());
}
