#pragma once

#include "FakeLoginItem.h"
#include "FakeNotificationCenter.h"
#include "FakeUpdateControls.h"
#include "InProcessNotificationCenter.h"
#include "Preferences.h"
#include "SettingsView.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

// A settings window content over in-memory services, with the preferences in a fresh file.
class SettingsViewFixture : public testing::Test {
protected:
    void SetUp() override { m_preferences.registerDefaults(); }

    // Built on demand so a test can prepare the preferences and services first; shown, as the
    // window would be, so the content asks its questions on appearing.
    SettingsView& view()
    {
        if (!m_view) {
            m_view = std::make_unique<SettingsView>(m_preferences, m_inProcess, m_notificationCenter,
                                                    m_loginItem, m_updates, QStringLiteral("2.4.1"));
            m_view->show();
        }
        return *m_view;
    }

    template <typename T>
    T* child(const QString& name)
    {
        auto* widget = view().findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    bool shown(const QString& name) { return child<QWidget>(name)->isVisibleTo(&view()); }

    int posts(const QString& name) const
    {
        int count = 0;
        for (const QList<QVariant>& arguments : m_posted) {
            if (arguments.value(0).toString() == name)
                ++count;
        }
        return count;
    }

    static void saveScreenshot(const QImage& image, const QString& name)
    {
        QDir().mkpath(QStringLiteral(LUMATICK_SCREENSHOT_DIR));
        EXPECT_TRUE(image.save(QStringLiteral(LUMATICK_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")));
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("settings.conf"))};
    InProcessNotificationCenter m_inProcess;
    QSignalSpy m_posted{&m_inProcess, &InProcessNotificationCenter::posted};
    FakeNotificationCenter m_notificationCenter;
    FakeLoginItem m_loginItem;
    FakeUpdateControls m_updates;
    std::unique_ptr<SettingsView> m_view;
};
