#pragma once

#include <QDir>
#include <QStringList>

class QWidget;
class SampleScene;
class SettingsView;

// Renders views to PNG files in one folder and remembers what it could not write.
class ScreenshotWriter {
public:
    explicit ScreenshotWriter(const QString& directory);

    void dropdownPanels();
    void historyWindows();
    void settingsPages();
    void onboardingScreens();
    // The status item's icons and paused label on dark and light panels, at full size and at
    // the 22 and 24 pixels panels draw them.
    void statusItem();

    const QStringList& written() const { return m_written; }
    const QStringList& failed() const { return m_failed; }

private:
    void save(QWidget& widget, const QString& name);
    void historySharing();
    void settingsSharing(SettingsView& view, SampleScene& scene);

    QDir m_directory;
    QStringList m_written;
    QStringList m_failed;
};
