#include "XdgAutostartLoginItem.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

QString autostartDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString readEntry()
{
    QFile file(XdgAutostartLoginItem::entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void writeEntry(const QByteArray& content)
{
    QFile file(XdgAutostartLoginItem::entryPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

class XdgAutostartLoginItemTest : public testing::Test {
protected:
    void TearDown() override
    {
        // Every test starts without the entry and with a usable autostart folder.
        QFile::remove(autostartDirectory());
        QDir(autostartDirectory()).removeRecursively();
    }

    XdgAutostartLoginItem m_item{QStringLiteral("/usr/bin/lumatick")};
};

TEST_F(XdgAutostartLoginItemTest, entryLivesInTheUsersAutostartFolder)
{
    EXPECT_EQ(XdgAutostartLoginItem::entryPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/lumatick.desktop"));
    EXPECT_TRUE(m_item.isSupported());
    EXPECT_FALSE(m_item.isEnabled());
}

TEST_F(XdgAutostartLoginItemTest, enableWritesTheEntryAndDisableRemovesIt)
{
    QString error;
    ASSERT_TRUE(m_item.setEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(m_item.isEnabled());
    EXPECT_EQ(readEntry(), QStringLiteral("[Desktop Entry]\n"
                                          "Type=Application\n"
                                          "Name=Lumatick\n"
                                          "Exec=/usr/bin/lumatick\n"
                                          "Icon=lumatick\n"
                                          "X-GNOME-Autostart-enabled=true\n"));

    ASSERT_TRUE(m_item.setEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(m_item.isEnabled());

    ASSERT_TRUE(m_item.setEnabled(false, &error)) << error.toStdString();
    EXPECT_FALSE(m_item.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(XdgAutostartLoginItem::entryPath()));
    EXPECT_TRUE(m_item.setEnabled(false, &error)) << "disabling twice is no failure";
}

TEST_F(XdgAutostartLoginItemTest, hiddenEntryCountsAsDisabled)
{
    ASSERT_TRUE(m_item.setEnabled(true, nullptr));
    writeEntry("[Desktop Entry]\nType=Application\nName=Lumatick\nExec=/usr/bin/lumatick\nHidden=true\n");
    EXPECT_FALSE(m_item.isEnabled());

    writeEntry("[Desktop Entry]\nType=Application\nExec=/usr/bin/lumatick\nHidden = false\n");
    EXPECT_TRUE(m_item.isEnabled());

    // Only the main group decides.
    writeEntry("[Desktop Entry]\nExec=/usr/bin/lumatick\n[Desktop Action Pause]\nHidden=true\n");
    EXPECT_TRUE(m_item.isEnabled());

    // Enabling again brings the entry back.
    writeEntry("[Desktop Entry]\nHidden=true\n");
    ASSERT_TRUE(m_item.setEnabled(true, nullptr));
    EXPECT_TRUE(m_item.isEnabled());
}

TEST_F(XdgAutostartLoginItemTest, unwritableFolderFailsWithAReason)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(autostartDirectory()).absolutePath()));
    QFile blocker(autostartDirectory());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QString error;
    EXPECT_FALSE(m_item.setEnabled(true, &error));
    EXPECT_TRUE(error.contains(autostartDirectory())) << error.toStdString();
    EXPECT_FALSE(m_item.isEnabled());
}

TEST(XdgAutostartExecValue, plainPathStaysAsItIs)
{
    EXPECT_EQ(XdgAutostartLoginItem::execValue(QStringLiteral("/opt/lumatick/bin/lumatick")),
              QStringLiteral("/opt/lumatick/bin/lumatick"));
}

TEST(XdgAutostartExecValue, pathWithSpacesIsQuoted)
{
    EXPECT_EQ(XdgAutostartLoginItem::execValue(QStringLiteral("/home/a b/Lumatick App/lumatick")),
              QStringLiteral("\"/home/a b/Lumatick App/lumatick\""));
}

TEST(XdgAutostartExecValue, reservedCharactersAreEscapedInsideQuotes)
{
    // `$` and `"` get a backslash inside the quotes; that backslash is doubled by the
    // string escaping of the file, and `%` is doubled so it is no field code.
    EXPECT_EQ(XdgAutostartLoginItem::execValue(QStringLiteral("/tmp/$x \"y\"/100%")),
              QStringLiteral(R"("/tmp/\\$x \\"y\\"/100%%")"));
    EXPECT_EQ(XdgAutostartLoginItem::execValue(QStringLiteral("/tmp/back\\slash")),
              QStringLiteral(R"("/tmp/back\\\\slash")"));
}

} // namespace
