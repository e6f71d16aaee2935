#pragma once

#include "StatusItemBackend.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

// The status item as Qt's own tray icon, for panels that host only the older system tray. Such
// trays show no text, so the icon carries the time and the tooltip the spoken total.
class TrayIconStatusItem : public StatusItemBackend {
    Q_OBJECT
public:
    explicit TrayIconStatusItem(QObject* parent = nullptr);

    static bool isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void setLabel(const QString& text, const QString& guide) override;
    void setIcon(const QImage& icon) override;
    void setToolTip(const QString& text) override;
    void setMenuPaused(bool paused) override;
    bool start() override;
    bool isShown() const override { return m_tray.isVisible(); }
    bool showsLabel() const override { return false; }

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QMenu m_menu;
    QAction* m_pauseAction;
    QSystemTrayIcon m_tray;
};
