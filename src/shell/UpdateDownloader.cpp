#include "UpdateDownloader.h"

#include "NetworkAccess.h"
#include "UpdateUrlPolicy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The last segment of the address, kept only when it is a plain name inside the folder.
QString fileName(const AppcastItem& item)
{
    const QString name = item.enclosureUrl.fileName(QUrl::FullyDecoded);
    if (name.contains(u'/') || name == u"."_s || name == u".."_s || name.startsWith(u'.'))
        return {};
    return name;
}

const QString notDownloaded = u"The update could not be downloaded. Please try again later."_s;
const QString notMatching = u"The downloaded file does not match the update information and was not kept. "
                            u"Please try again later."_s;

} // namespace

UpdateDownloader::UpdateDownloader(NetworkAccess& network, QString directory,
                                   std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent)
    , m_network(network)
    , m_directory(std::move(directory))
    , m_timeout(timeout)
{}

void UpdateDownloader::download(const AppcastItem& item, Done done)
{
    if (!UpdateUrlPolicy::isAllowed(item.enclosureUrl) || fileName(item).isEmpty()) {
        QTimer::singleShot(0, this, [done] { done(QString(), notDownloaded); });
        return;
    }
    QNetworkRequest request(item.enclosureUrl);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    QNetworkReply* reply = m_network.manager().get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, item, done] {
        reply->deleteLater();
        const bool ok = reply->error() == QNetworkReply::NoError &&
                        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
        if (!ok) {
            done(QString(), notDownloaded);
            return;
        }
        const QByteArray body = reply->readAll();
        if (!matches(body, item)) {
            done(QString(), notMatching);
            return;
        }
        const QString saved = save(body, item);
        done(saved, saved.isEmpty() ? u"The update could not be saved in %1."_s.arg(m_directory) : QString());
    });
}

// Without a digest there is nothing to verify against, so such an enclosure is refused.
bool UpdateDownloader::matches(const QByteArray& body, const AppcastItem& item)
{
    if (item.enclosureSha256.isEmpty())
        return false;
    if (item.enclosureLength >= 0 && body.size() != item.enclosureLength)
        return false;
    const QByteArray digest = QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
    return QString::fromLatin1(digest) == item.enclosureSha256;
}

// QSaveFile writes beside the target and renames at the end, so an interrupted write never
// leaves a partial file under the release's name.
QString UpdateDownloader::save(const QByteArray& body, const AppcastItem& item) const
{
    if (!QDir().mkpath(m_directory))
        return {};
    const QString path = QDir(m_directory).filePath(fileName(item));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return {};
    return path;
}
