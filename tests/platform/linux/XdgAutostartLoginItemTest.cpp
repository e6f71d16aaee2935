#include "XdgAutostartLoginItem.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A folder that cannot be made fails with a reason naming it. Then on, on again, off, off
// again, in the user's autostart folder; an entry hidden by the user (or another tool) counts
// as off, and turning it on brings it back.
TEST(XdgAutostartLoginItemTest, entryIsWrittenHiddenAndRemovedAsTheUserChooses)
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/autostart"_s;
    XdgAutostartLoginItem item(u"/usr/bin/lumatick"_s);
    QString error;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).absolutePath()));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(item.setEnabled(true, &error));
    EXPECT_TRUE(error.contains(folder)) << error.toStdString();
    EXPECT_FALSE(item.isEnabled());
    ASSERT_TRUE(blocker.remove());

    ASSERT_TRUE(item.setEnabled(true, &error) && item.setEnabled(true, &error)) << error.toStdString();
    QFile entry(folder + u"/lumatick.desktop"_s);
    ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
    EXPECT_EQ(entry.readAll(),
              QByteArray("[Desktop Entry]\nType=Application\nName=Lumatick\n"
                         "Exec=/usr/bin/lumatick\nIcon=lumatick\nX-GNOME-Autostart-enabled=true\n"));
    const std::vector<std::pair<QByteArray, bool>> entries{
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\nHidden = false\n", true},
        {"[Desktop Entry]\nExec=/usr/bin/lumatick\n[Desktop Action Pause]\nHidden=true\n", true},
        {"[Desktop Entry]\nHidden=true\n", false}};
    for (const auto& [content, enabled] : entries) {
        entry.resize(0);
        entry.write(content);
        entry.flush();
        EXPECT_EQ(item.isEnabled(), enabled) << content.toStdString();
    }
    entry.close();
    ASSERT_TRUE(item.setEnabled(true, nullptr));
    EXPECT_TRUE(item.isEnabled());
    ASSERT_TRUE(item.setEnabled(false, &error) && item.setEnabled(false, &error))
        << "off twice is no failure";
    EXPECT_FALSE(entry.exists());
}

// Exec is quoted when needed, with `$`, `"` and `\` escaped and `%` doubled (no field code).
TEST(XdgAutostartExecValue, pathIsQuotedAndEscapedAsTheEntryFormatWants)
{
    const std::vector<std::pair<QString, QString>> cases{
        {u"/opt/lumatick/bin/lumatick"_s, u"/opt/lumatick/bin/lumatick"_s},
        {u"/home/a b/Lumatick App/lumatick"_s, u"\"/home/a b/Lumatick App/lumatick\""_s},
        {u"/tmp/$x \"y\"/100%"_s, uR"("/tmp/\\$x \\"y\\"/100%%")"_s},
        {u"/tmp/back\\slash"_s, uR"("/tmp/back\\\\slash")"_s},
    };
    for (const auto& [path, exec] : cases)
        EXPECT_EQ(XdgAutostartLoginItem::execValue(path), exec);
}

} // namespace
