#include "UpdaterController.h"
#include "Appcast.h"
#include "AppcastUpdater.h"
#include "BundleInformation.h"
#include "FakeNotificationCenter.h"
#include "FeedServer.h"
#include "MessageBoxUpdateAlerts.h"
#include "NetworkAccess.h"
#include "Preferences.h"
#include "UpdateAlerts.h"

#include "FileContents.h"
#include "WaitUntil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Records what the user would have been shown; accepting an offer presses "Download".
class RecordingAlerts : public UpdateAlerts {
public:
    struct Message {
        QString message;
        QString informativeText;
    };

    void showMessage(const QString& message, const QString& informativeText) override
    {
        messages.append({message, informativeText});
    }
    void offerUpdate(const AppcastItem& item, const QString&, std::function<void()> download) override
    {
        offers.append(item);
        if (acceptOffers)
            download();
    }

    QList<Message> messages;
    QList<AppcastItem> offers;
    bool acceptOffers = false;
};

const QByteArray enclosureBody = "release 1.10 archive";

QByteArray sha256(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QByteArray item(const QByteArray& version, const QString& enclosureUrl = u"https://example.org/x.tar.gz"_s,
                const QByteArray& digest = sha256(enclosureBody))
{
    return "<item><title>Lumatick " + version + "</title><lumatick:version>" + version +
           "</lumatick:version><lumatick:shortVersionString>" + version +
           "</lumatick:shortVersionString><lumatick:releaseNotesLink>https://example.org/notes/" + version +
           ".html</lumatick:releaseNotesLink><enclosure url=\"" + enclosureUrl.toUtf8() + "\" length=\"" +
           QByteArray::number(enclosureBody.size()) + "\" lumatick:sha256=\"" + digest +
           "\" type=\"application/octet-stream\"/></item>\n";
}

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
           "xmlns:lumatick=\"https://brightlet.com/xmlns/appcast\"><channel><title>Lumatick</title>\n" +
           items + "</channel></rss>\n";
}

class UpdaterControllerTest : public testing::Test {
protected:
    void SetUp() override { network.manager().setProxy(QNetworkProxy::NoProxy); }

    QVariantMap information(const QString& feedUrl) const
    {
        return {{BundleInformation::feedUrlKey, feedUrl},
                {BundleInformation::nameKey, u"Lumatick"_s},
                {BundleInformation::shortVersionKey, u"1.2"_s}};
    }

    // Scheduled checks are off unless a test turns them on, so only the manual check talks.
    std::unique_ptr<UpdaterController> makeController(QVariantMap bundleInformation, bool scheduled = false)
    {
        AppcastUpdater::Options updaterOptions;
        if (scheduled)
            updaterOptions.firstCheckDelay = 0ms;
        updaterOptions.bundleInformation = bundleInformation;
        updaterOptions.downloadDirectory = downloads.path();
        updaterOptions.transferTimeout = 300ms;
        auto updater = std::make_unique<AppcastUpdater>(updaterOptions, network, alerts, notifications);
        lastUpdater = updater.get();
        return std::make_unique<UpdaterController>(std::move(updater), preferences, network, alerts,
                                                   UpdaterController::Options{bundleInformation, 300ms});
    }

    QStringList savedDownloads() const { return QDir(downloads.path()).entryList(QDir::Files); }

    QTemporaryDir settings;
    QTemporaryDir downloads;
    Preferences preferences{settings.filePath(u"Lumatick.conf"_s)};
    NetworkAccess network;
    FeedServer server;
    RecordingAlerts alerts;
    FakeNotificationCenter notifications;
    AppcastUpdater* lastUpdater = nullptr;
};

// The user asked: the newest release is offered, and the download they accept is kept and
// announced, or fails with an alert and leaves nothing behind.
TEST_F(UpdaterControllerTest, anInteractiveCheckOffersTheNewestAndSaysWhenItsDownloadFails)
{
    const QString notDownloaded = u"The update could not be downloaded. Please try again later."_s;
    const QString notMatching =
        u"The downloaded file does not match the update information and was not kept. "
        u"Please try again later."_s;
    const struct {
        const char* name;
        QByteArray digest;
        QByteArray response;
        QString error;
    } cases[] = {
        {"not found", sha256(enclosureBody), FeedServer::status(404, "Not Found"), notDownloaded},
        {"other digest", sha256("other"), FeedServer::ok(enclosureBody), notMatching},
        {"longer than announced", sha256(enclosureBody + "!"), FeedServer::ok(enclosureBody + "!"),
         notMatching},
        {"verified", sha256(enclosureBody), FeedServer::ok(enclosureBody), {}},
    };
    alerts.acceptOffers = true;
    const QString enclosure = server.url(u"/lumatick-1.10.tar.gz"_s);
    for (const auto& download : cases) {
        SCOPED_TRACE(download.name);
        alerts.messages.clear();
        alerts.offers.clear();
        server.answer(
            u"/appcast.xml"_s,
            FeedServer::ok(feed(item("1.9") + item("1.10", enclosure, download.digest) + item("1.1"))));
        server.answer(u"/lumatick-1.10.tar.gz"_s, download.response);
        const auto controller = makeController(information(server.url(u"/appcast.xml"_s)));
        controller->checkForUpdates();
        ASSERT_TRUE(
            waitUntil([&] { return !alerts.messages.isEmpty() || !notifications.delivered().isEmpty(); }));
        ASSERT_EQ(alerts.offers.size(), 1);
        EXPECT_EQ(alerts.offers[0].displayVersion(), u"1.10"_s);
        EXPECT_EQ(alerts.offers[0].releaseNotesLink, QUrl(u"https://example.org/notes/1.10.html"_s));
        const bool kept = download.error.isEmpty();
        EXPECT_EQ(savedDownloads(), kept ? QStringList{u"lumatick-1.10.tar.gz"_s} : QStringList());
        EXPECT_EQ(notifications.delivered().size(), kept ? 1 : 0);
        ASSERT_EQ(alerts.messages.size(), kept ? 0 : 1);
        if (!kept) {
            EXPECT_EQ(alerts.messages[0].message, u"Update Error!"_s);
            EXPECT_EQ(alerts.messages[0].informativeText, download.error);
        }
    }
}

// No newer release, or the feed's answer never reaches the updater (no network included): the
// user sees the up-to-date alert and is offered nothing.
TEST_F(UpdaterControllerTest, aFeedWithoutANewerReadableReleaseSaysUpToDate)
{
    QString refused;
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        refused = u"http://127.0.0.1:%1/appcast.xml"_s.arg(closed.serverPort());
    }
    const QString served = server.url(u"/appcast.xml"_s);
    const struct {
        const char* name;
        QByteArray answer;
        QString url;
        bool silent = false;
    } probes[] = {
        {"no newer release", FeedServer::ok(feed(item("1.2") + item("1.1.9"))), served},
        {"not modified", FeedServer::status(304, "Not Modified"), served},
        {"not found", FeedServer::status(404, "Not Found"), served},
        {"server error", FeedServer::status(500, "Internal Server Error"), served},
        {"empty body", FeedServer::ok({}), served},
        {"invalid UTF-8", FeedServer::ok(feed(item("1.3")) + "\xff\xfe"), served},
        {"item tag split by a line break", FeedServer::ok(feed(item("1.3").replace("<item>", "<item\n>"))),
         served},
        {"connection refused", {}, refused},
        {"silent server", {}, served, true},
    };
    for (const auto& probe : probes) {
        SCOPED_TRACE(probe.name);
        alerts.messages.clear();
        server.answer(u"/appcast.xml"_s, probe.answer);
        server.setSilent(probe.silent);
        const auto controller = makeController(information(probe.url));
        controller->checkForUpdates();
        ASSERT_TRUE(waitUntil([&] { return !alerts.messages.isEmpty(); }));
        EXPECT_EQ(alerts.messages[0].message, u"You're up to date!"_s);
        EXPECT_EQ(alerts.messages[0].informativeText, u"Lumatick 1.2 is the latest version."_s);
        EXPECT_TRUE(alerts.offers.isEmpty());
    }
}

// Distribution builds carry no feed; a plain-HTTP feed off the loopback interface is refused.
TEST_F(UpdaterControllerTest, withoutUsableFeedNoRequestIsEverMade)
{
    QVariantMap noFeed = information({});
    noFeed.remove(BundleInformation::feedUrlKey);
    for (const QVariantMap& bundle : {noFeed, information(u"http://example.org/appcast.xml"_s)}) {
        alerts.messages.clear();
        const auto controller = makeController(bundle, true);
        controller->checkForUpdates();
        ASSERT_EQ(alerts.messages.size(), 1);
        EXPECT_EQ(alerts.messages[0].message, u"You're up to date!"_s);
        lastUpdater->checkForUpdates();
        EXPECT_EQ(alerts.messages.size(), 2);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(server.connectionCount(), 0);
}

// In the background only a verified release is kept and announced; nobody asked, so a failed
// one waits silently for the next check.
TEST_F(UpdaterControllerTest, scheduledCheckKeepsAndAnnouncesOnlyAVerifiedRelease)
{
    const QString enclosure = server.url(u"/lumatick-1.10.tar.gz"_s);
    server.answer(u"/lumatick-1.10.tar.gz"_s, FeedServer::ok(enclosureBody));
    for (const QByteArray& digest : {sha256("other"), sha256(enclosureBody)}) {
        const qsizetype kept = digest == sha256(enclosureBody) ? 1 : 0;
        server.answer(u"/appcast.xml"_s, FeedServer::ok(feed(item("1.10", enclosure, digest))));
        const qsizetype requests = server.requestedPaths().size();
        const auto controller = makeController(information(server.url(u"/appcast.xml"_s)), true);
        ASSERT_TRUE(waitUntil([&] { return server.requestedPaths().size() == requests + 2; }));
        ASSERT_TRUE(waitUntil(
            [&] { return lastUpdater->canCheckForUpdates() && notifications.delivered().size() == kept; }));
        EXPECT_EQ(savedDownloads().size(), kept);
    }
    const QString saved = QDir(downloads.path()).filePath(u"lumatick-1.10.tar.gz"_s);
    EXPECT_EQ(readFile(saved), enclosureBody);
    EXPECT_EQ(notifications.delivered().first().body,
              u"Lumatick 1.10 has been downloaded to %1."_s.arg(saved));
    EXPECT_TRUE(alerts.messages.isEmpty());
    EXPECT_TRUE(alerts.offers.isEmpty());
}

// The release notes link is escaped into the rich text, so a feed cannot inject markup.
TEST(MessageBoxUpdateAlertsTest, offerNamesBothVersionsAndLinksReleaseNotes)
{
    AppcastItem offered;
    offered.version = u"12"_s;
    offered.shortVersion = u"1.2<b>"_s;
    offered.releaseNotesLink = QUrl(u"https://example.org/notes/1.2.html?a=1&b=2"_s);
    const auto box = MessageBoxUpdateAlerts::offerBox(offered, u"0.1.0"_s);
    EXPECT_EQ(box->informativeText(),
              u"Version 1.2&lt;b&gt; is available; you have 0.1.0.<br><a "
              u"href=\"https://example.org/notes/1.2.html?a=1&amp;b=2\">Release notes</a>"_s);
    EXPECT_EQ(box->buttons().size(), 2);
}

} // namespace
