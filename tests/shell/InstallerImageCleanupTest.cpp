#include "InstallerImageCleanup.h"

#include "FileContents.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString appName = u"Lumatick.AppImage"_s;

QByteArray propertyList(const QByteArray& images)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<plist version=\"1.0\"><dict><key>framework</key><string>1</string>"
           "<key>images</key><array>" +
           images + "</array></dict></plist>\n";
}

// One attached image: its file and its entities, each given by its mount point (empty for
// an entity without one, such as the partition scheme).
QByteArray image(const QString& imagePath, const QStringList& mountPoints)
{
    QByteArray entities;
    for (const QString& mountPoint : mountPoints) {
        entities += "<dict><key>dev-entry</key><string>/dev/loop7</string>";
        if (!mountPoint.isEmpty())
            entities += "<key>mount-point</key><string>" + mountPoint.toUtf8() + "</string>";
        entities += "</dict>";
    }
    return "<dict><key>image-path</key><string>" + imagePath.toUtf8() +
           "</string><key>removable</key><false/><key>system-entities</key><array>" + entities +
           "</array></dict>";
}

// A home with an applications folder, volumes and a stand-in disk-image utility: a shell
// script that logs its arguments, prints the listing the test wrote and fails every detach,
// as it does when a file on the volume is still open.
class InstallerImageCleanupTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(root.path()).mkpath(u"home/Applications/"_s + appName));
        write(u"utility"_s, "#!/bin/sh\necho \"$*\" >> '" + path(u"calls.log"_s).toUtf8() +
                                "'\nif [ \"$1\" = info ]; then cat '" + path(u"info.plist"_s).toUtf8() +
                                "'; echo chatter >&2; fi\nexit 1\n");
        QFile::setPermissions(path(u"utility"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path(const QString& relative) const { return root.filePath(relative); }

    void write(const QString& relative, const QByteArray& content) const
    {
        ASSERT_TRUE(writeFile(path(relative), content));
    }

    // A mounted volume; with the application on it when `holdsApp`.
    QString volume(const QString& name, bool holdsApp)
    {
        const QString mountPoint = path(u"volumes/"_s + name);
        QDir().mkpath(mountPoint);
        if (holdsApp)
            write(u"volumes/"_s + name + u'/' + appName, "binary");
        return mountPoint;
    }

    InstallerImageCleanup::Options options(const QString& bundlePath = {}) const
    {
        InstallerImageCleanup::Options result;
        result.bundlePath = bundlePath.isEmpty() ? path(u"home/Applications/"_s + appName) : bundlePath;
        result.homeDirectory = path(u"home"_s);
        result.utilityPath = path(u"utility"_s);
        result.delay = 0ms;
        return result;
    }

    QStringList utilityCalls() const
    {
        return QString::fromUtf8(readFile(path(u"calls.log"_s))).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir root{QDir::homePath() + u"/installer-XXXXXX"_s};
};

TEST_F(InstallerImageCleanupTest, firstImageHoldingTheAppIsDetachedAndTrashed)
{
    write(u"images/other.img"_s, "other");
    write(u"images/first.img"_s, "first");
    write(u"images/second.img"_s, "second");
    const QString unrelated = volume(u"Unrelated"_s, false);
    const QString first = volume(u"Lumatick 1"_s, true);
    const QString second = volume(u"Lumatick 2"_s, true);
    write(u"info.plist"_s, propertyList(image(path(u"images/other.img"_s), {{}, unrelated}) +
                                        image(path(u"images/first.img"_s), {{}, first}) +
                                        image(path(u"images/second.img"_s), {second})));
    InstallerImageCleanup cleanup(options());

    ASSERT_TRUE(cleanup.cleanUpInstallerImage());
    ASSERT_TRUE(cleanup.waitForFinished(QDeadlineTimer(10s)));

    EXPECT_EQ(utilityCalls(), (QStringList{u"info -plist"_s, u"detach "_s + first + u" -quiet"_s}));
    EXPECT_FALSE(QFile::exists(path(u"images/first.img"_s)));
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    EXPECT_TRUE(QDir(trash + u"/Trash/files"_s).entryList(QDir::Files).contains(u"first.img"_s));
    EXPECT_TRUE(QFile::exists(path(u"images/second.img"_s)));
    EXPECT_TRUE(QFile::exists(path(u"images/other.img"_s)));
}

TEST_F(InstallerImageCleanupTest, listingWithoutMatchingVolumeFindsNothing)
{
    const QString unrelated = volume(u"Unrelated"_s, false);
    const QByteArray listings[] = {
        propertyList(image(path(u"images/x.img"_s), {{}, unrelated})),
        propertyList({}),
        "hdiutil: info failed - not a property list",
        "<plist version=\"1.0\"><array><string>images</string></array></plist>",
        "<plist version=\"1.0\"><dict><key>images</key><string>none</string></dict></plist>",
        propertyList(image(path(u"images/x.img"_s), {unrelated})).replace("</dict></plist>", ""),
    };
    for (const QByteArray& listing : listings) {
        SCOPED_TRACE(listing.toStdString());
        write(u"info.plist"_s, listing);
        EXPECT_FALSE(InstallerImageCleanup(options()).findMountedInstallerImage());
    }
}

// A copy outside an applications folder is not an installed one; without the utility there is
// nothing to ask. Either way nothing is touched and nothing is said.
TEST_F(InstallerImageCleanupTest, aCopyOutsideApplicationsOrWithoutTheUtilityLeavesEverything)
{
    write(u"images/first.img"_s, "first");
    const QString mounted = volume(u"Lumatick"_s, true);
    write(u"info.plist"_s, propertyList(image(path(u"images/first.img"_s), {mounted})));
    for (const QString& bundle : {mounted + u'/' + appName, path(u"home/Downloads/"_s + appName)})
        EXPECT_FALSE(InstallerImageCleanup(options(bundle)).cleanUpInstallerImage());
    EXPECT_TRUE(utilityCalls().isEmpty());

    InstallerImageCleanup::Options missing = options();
    missing.utilityPath = path(u"no-such-utility"_s);
    InstallerImageCleanup cleanup(missing);
    ASSERT_TRUE(cleanup.cleanUpInstallerImage());
    EXPECT_TRUE(cleanup.waitForFinished(QDeadlineTimer(10s)));
    EXPECT_TRUE(QFile::exists(path(u"images/first.img"_s)));
}

} // namespace
