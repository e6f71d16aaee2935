#include "TrayIconStatusItem.h"

#include <QCursor>
#include <QPixmap>

TrayIconStatusItem::TrayIconStatusItem(QObject* parent)
    : StatusItemBackend(parent)
    , m_pauseAction(m_menu.addAction(tr("Pause")))
{
    connect(m_pauseAction, &QAction::triggered, this, &StatusItemBackend::pauseToggleRequested);
    connect(m_menu.addAction(tr("Pause for 15 Minutes")), &QAction::triggered, this,
            [this] { Q_EMIT pauseForRequested(15 * 60); });
    connect(m_menu.addAction(tr("Pause for 1 Hour")), &QAction::triggered, this,
            [this] { Q_EMIT pauseForRequested(60 * 60); });
    connect(m_menu.addAction(tr("Pause Until Tomorrow")), &QAction::triggered, this,
            &StatusItemBackend::pauseUntilTomorrowRequested);
    connect(m_menu.addAction(tr("History…")), &QAction::triggered, this,
            &StatusItemBackend::historyRequested);
    connect(m_menu.addAction(tr("Settings…")), &QAction::triggered, this,
            &StatusItemBackend::settingsRequested);
    m_menu.addSeparator();
    connect(m_menu.addAction(tr("Quit")), &QAction::triggered, this, &StatusItemBackend::quitRequested);
    m_tray.setContextMenu(&m_menu);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TrayIconStatusItem::onActivated);
}

void TrayIconStatusItem::setLabel(const QString&, const QString&) {}

void TrayIconStatusItem::setIcon(const QImage& icon)
{
    m_tray.setIcon(QIcon(QPixmap::fromImage(icon)));
}

void TrayIconStatusItem::setToolTip(const QString& text)
{
    m_tray.setToolTip(text);
}

void TrayIconStatusItem::setMenuPaused(bool paused)
{
    m_pauseAction->setText(paused ? tr("Resume") : tr("Pause"));
}

bool TrayIconStatusItem::start()
{
    m_tray.show();
    Q_EMIT shownChanged(m_tray.isVisible());
    return true;
}

// The tray reports no click position; the pointer is where the user just clicked.
void TrayIconStatusItem::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        Q_EMIT activated(QCursor::pos());
}
