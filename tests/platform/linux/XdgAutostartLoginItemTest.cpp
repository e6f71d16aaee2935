#include "XdgAutostartLoginItem.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QString autostartDirectory()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart");
}

void writeEntry(const QByteArray& content)
{
    QFile file(XdgAutostartLoginItem::entryPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

class XdgAutostartLoginItemTest : public testing::Test {
protected:
    // Every test starts without the entry and with a usable autostart folder.
    void TearDown() override
    {
        QFile::remove(autostartDirectory());
        QDir(autostartDirectory()).removeRecursively();
    }

    XdgAutostartLoginItem m_item{QStringLiteral("/usr/bin/lumatick")};
};

// On, on again, off, off again, in the user's autostart folder; an entry hidden by the user
// (or another tool) counts as off, and turning it on brings it back.
TEST_F(XdgAutostartLoginItemTest, entryIsWrittenHiddenAndRemovedAsTheUserChooses)
{
    QString error;
    ASSERT_TRUE(m_item.setEnabled(true, &error) && m_item.setEnabled(true, &error)) << error.toStdString();
    QFile entry(autostartDirectory() + QStringLiteral("/lumatick.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll(),
              QByteArray("[Desktop Entry]\nType=Application\nName=Lumatick\n"
                         "Exec=/usr/bin/lumatick\nIcon=lumatick\nX-GNOME-Autostart-enabled=true\n"));
    const std::vector<std::pair<QByteArray, bool>> entries{
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\nHidden = false\n", true},
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\n[Desktop Action Pause]\nHidden=true\n", true},
    };
    for (const auto& [content, enabled] : entries) {
        writeEntry(content);
        EXPECT_EQ(m_item.isEnabled(), enabled) << content.toStdString();
    }
    writeEntry("[Desktop Entry]\nHidden=true\n");
    ASSERT_TRUE(m_item.setEnabled(true, nullptr));
    EXPECT_TRUE(m_item.isEnabled());
    ASSERT_TRUE(m_item.setEnabled(false, &error) && m_item.setEnabled(false, &error))
        << "off twice is no failure";
    EXPECT_FALSE(entry.exists());
}

TEST_F(XdgAutostartLoginItemTest, unwritableFolderFailsWithAReasonNamingIt)
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

// Exec is quoted when needed, with `$`, `"` and `\` escaped and `%` doubled (no field code).
TEST(XdgAutostartExecValue, pathIsQuotedAndEscapedAsTheEntryFormatWants)
{
    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("/opt/lumatick/bin/lumatick"), QStringLiteral("/opt/lumatick/bin/lumatick")},
        {QStringLiteral("/home/a b/Lumatick App/lumatick"),
         QStringLiteral("\"/home/a b/Lumatick App/lumatick\"")},
        {QStringLiteral("/tmp/$x \"y\"/100%"), QStringLiteral(R"("/tmp/\\$x \\"y\\"/100%%")")},
        {QStringLiteral("/tmp/back\\slash"), QStringLiteral(R"("/tmp/back\\\\slash")")},
    };
    for (const auto& [path, exec] : cases)
        EXPECT_EQ(XdgAutostartLoginItem::execValue(path), exec);
}

} // namespace
