#include "UpdaterController.h"

#include "BundleInformation.h"
#include "NetworkAccess.h"
#include "Preferences.h"
#include "UpdateAlerts.h"
#include "UpdateUrlPolicy.h"
#include "Updater.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>

using namespace Qt::StringLiterals;

UpdaterController::UpdaterController(std::unique_ptr<Updater> updater, Preferences& preferences,
                                     NetworkAccess& network, UpdateAlerts& alerts, Options options,
                                     QObject* parent)
    : UpdateControls(parent)
    , m_updater(std::move(updater))
    , m_preferences(preferences)
    , m_network(network)
    , m_alerts(alerts)
    , m_options(std::move(options))
{
    m_preferences.registerDefault(automaticallyUpdateKey, true);
    m_updater->start();
    setAutomaticallyDownloadsUpdates(m_preferences.boolean(automaticallyUpdateKey));
    m_updater->setAutomaticallyDownloadsUpdates(m_automaticallyDownloadsUpdates);
    // The state reaches the settings window from the event loop, first with its current value
    // and then with every change, as it would from an updater working on another thread.
    connect(m_updater.get(), &Updater::canCheckForUpdatesChanged, this,
            &UpdaterController::mirrorCanCheckForUpdates, Qt::QueuedConnection);
    QTimer::singleShot(0, this, [this] { mirrorCanCheckForUpdates(m_updater->canCheckForUpdates()); });
}

UpdaterController::~UpdaterController() = default;

void UpdaterController::setAutomaticallyDownloadsUpdates(bool enabled)
{
    const bool changed = enabled != m_automaticallyDownloadsUpdates;
    m_automaticallyDownloadsUpdates = enabled;
    m_updater->setAutomaticallyDownloadsUpdates(enabled);
    m_preferences.setValue(automaticallyUpdateKey, enabled);
    if (changed)
        Q_EMIT automaticallyDownloadsUpdatesChanged(enabled);
}

void UpdaterController::mirrorCanCheckForUpdates(bool canCheck)
{
    if (canCheck == m_canCheckForUpdates)
        return;
    m_canCheckForUpdates = canCheck;
    Q_EMIT canCheckForUpdatesChanged(canCheck);
}

void UpdaterController::checkForUpdates()
{
    const QVariant feed = m_options.bundleInformation.value(BundleInformation::feedUrlKey);
    const QUrl url(feed.toString(), QUrl::StrictMode);
    if (feed.typeId() != QMetaType::QString || !UpdateUrlPolicy::isAllowed(url)) {
        showUpToDateAlert();
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(m_options.probeTimeout.count()));
    QNetworkReply* reply = m_network.manager().get(request);
    // Bound to this object: a reply that completes after the controller is gone does nothing.
    connect(reply, &QNetworkReply::finished, this, [this, reply] { probeFinished(reply); });
}

void UpdaterController::probeFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const bool ok = reply->error() == QNetworkReply::NoError &&
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    if (ok && listsItems(reply->readAll()))
        m_updater->checkForUpdates();
    else
        showUpToDateAlert();
}

// A plain text search, not a parse: the updater reads the feed properly in its own check.
// Text that is not valid UTF-8 counts as empty.
bool UpdaterController::listsItems(const QByteArray& body)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return false;
    return text.contains(u"<item>"_s) || text.contains(u"<item "_s);
}

void UpdaterController::showUpToDateAlert()
{
    m_alerts.showUpToDate(m_options.bundleInformation);
}
