#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QThread;

// Removes the installer image the application was copied from: when the running copy lives
// in an applications folder, a background task waits a few seconds after launch, asks the
// disk-image utility which images are attached, detaches the first one whose volume holds an
// item named like the running bundle, and moves that image file to the trash. Everything
// happens silently; where the utility does not exist there is nothing to do.
class InstallerImageCleanup {
public:
    struct Options {
        // The running application as installed (its bundle folder, or the image file it runs
        // from); its last path component is the name searched for on mounted volumes.
        QString bundlePath;
        QString homeDirectory;
        // Given by the desktop services; empty where the desktop has none.
        QString utilityPath;
        // Waited out on a clock that keeps running while the machine sleeps.
        std::chrono::milliseconds delay = std::chrono::seconds(8);
    };

    struct MountedImage {
        QString imagePath;
        QString mountPoint;
    };

    explicit InstallerImageCleanup(Options options);
    // Cuts the wait short and lets the task finish, so it never outlives its owner.
    ~InstallerImageCleanup();

    // Starts the background task when the bundle lives in an applications folder; returns at
    // once, telling whether it started.
    bool cleanUpInstallerImage();
    std::optional<MountedImage> findMountedInstallerImage() const;
    // For owners that need the task finished; false when the deadline passed first.
    bool waitForFinished(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

    static bool isInApplicationsFolder(const QString& bundlePath, const QString& homeDirectory);

private:
    void run() const;
    void sleepThroughDelay() const;
    std::optional<MountedImage> search(const QByteArray& listing) const;

    Options m_options;
    std::unique_ptr<QThread> m_task;
};
