#include "InstallerImageCleanup.h"

#include "XmlPropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The utility's output is read to its end, so only a utility that hangs meets this bound.
constexpr int utilityTimeoutMs = 60'000;
constexpr qint64 sleepSliceMs = 250;

QVariantList dictionaries(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return {};
    QVariantList list = value.toList();
    const bool allDictionaries = std::all_of(list.cbegin(), list.cend(), [](const QVariant& entry) {
        return entry.typeId() == QMetaType::QVariantMap;
    });
    return allDictionaries ? list : QVariantList();
}

bool isString(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

} // namespace

InstallerImageCleanup::InstallerImageCleanup(Options options)
    : m_options(std::move(options))
{}

InstallerImageCleanup::~InstallerImageCleanup()
{
    if (m_task) {
        m_task->requestInterruption();
        m_task->wait();
    }
}

bool InstallerImageCleanup::isInApplicationsFolder(const QString& bundlePath, const QString& homeDirectory)
{
    if (bundlePath.startsWith(u"/Applications"_s))
        return true;
    return bundlePath.startsWith(QDir(homeDirectory).filePath(u"Applications"_s));
}

bool InstallerImageCleanup::cleanUpInstallerImage()
{
    if (m_task || !isInApplicationsFolder(m_options.bundlePath, m_options.homeDirectory))
        return false;
    m_task.reset(QThread::create([this] { run(); }));
    m_task->start(QThread::LowestPriority);
    return true;
}

bool InstallerImageCleanup::waitForFinished(QDeadlineTimer deadline)
{
    return !m_task || m_task->wait(deadline);
}

void InstallerImageCleanup::run() const
{
    sleepThroughDelay();
    const std::optional<MountedImage> image = findMountedInstallerImage();
    if (!image)
        return;
    QProcess detach;
    detach.setStandardOutputFile(QProcess::nullDevice());
    detach.setStandardErrorFile(QProcess::nullDevice());
    detach.start(m_options.utilityPath, {u"detach"_s, image->mountPoint, u"-quiet"_s});
    if (!detach.waitForStarted())
        return;
    // The exit status does not matter: a volume that stays busy still leaves the image file
    // behind, and that file is what the user would otherwise have to remove by hand.
    detach.waitForFinished(utilityTimeoutMs);
    // WORKAROUND: Qt 6.4's moveToTrash puts the trash into the current directory when the
    // data folder is missing.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile::moveToTrash(image->imagePath);
}

// The delay should count time asleep, which the monotonic clock does not; the wall clock
// does, so the wait ends when either clock has seen the whole delay. A cancelled wait ends at
// once and the clean-up carries on all the same.
void InstallerImageCleanup::sleepThroughDelay() const
{
    const qint64 delayMs = m_options.delay.count();
    const QDateTime wallStart = QDateTime::currentDateTimeUtc();
    QElapsedTimer monotonic;
    monotonic.start();
    while (!QThread::currentThread()->isInterruptionRequested()) {
        const qint64 wallElapsed = wallStart.msecsTo(QDateTime::currentDateTimeUtc());
        const qint64 remaining = delayMs - std::max(wallElapsed, monotonic.elapsed());
        if (remaining <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(std::min(remaining, sleepSliceMs)));
    }
}

std::optional<InstallerImageCleanup::MountedImage> InstallerImageCleanup::findMountedInstallerImage() const
{
    QProcess query;
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(m_options.utilityPath, {u"info"_s, u"-plist"_s});
    if (!query.waitForStarted())
        return std::nullopt;
    query.waitForFinished(utilityTimeoutMs);
    return search(query.readAllStandardOutput());
}

std::optional<InstallerImageCleanup::MountedImage>
InstallerImageCleanup::search(const QByteArray& listing) const
{
    const std::optional<QVariant> root = XmlPropertyList::parse(listing);
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QString appName = QFileInfo(m_options.bundlePath).fileName();
    for (const QVariant& image : dictionaries(root->toMap().value(u"images"_s))) {
        const QVariantMap imageMap = image.toMap();
        const QVariant imagePath = imageMap.value(u"image-path"_s);
        const QVariant entities = imageMap.value(u"system-entities"_s);
        if (!isString(imagePath) || dictionaries(entities).isEmpty())
            continue;
        for (const QVariant& entity : dictionaries(entities)) {
            const QVariant mountPoint = entity.toMap().value(u"mount-point"_s);
            if (isString(mountPoint) && QFileInfo::exists(QDir(mountPoint.toString()).filePath(appName)))
                return MountedImage{imagePath.toString(), mountPoint.toString()};
        }
    }
    return std::nullopt;
}
