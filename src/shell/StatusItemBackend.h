#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

// What the status item presenter draws through, so the decisions about its look stay apart
// from the desktop mechanism (a StatusNotifierItem, a plain tray icon, a fake in tests).
class StatusItemBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // guide is the widest text expected soon, so a host can reserve width and the item does not
    // jitter as digits change.
    virtual void setLabel(const QString& text, const QString& guide) = 0;
    virtual void setIcon(const QImage& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // Switches the menu's pause entry between Pause and Resume.
    virtual void setMenuPaused(bool paused) = 0;
    // Read-only rows at the top of the menu (today's figures); a backend without a menu of
    // its own ignores them.
    virtual void setMenuFigures(const QStringList& rows) { Q_UNUSED(rows) }

    // Registers with the desktop, false when it cannot even try; `shownChanged` tells when a
    // host starts or stops showing the item.
    virtual bool start() = 0;
    virtual bool isShown() const = 0;
    // False where the host shows only icons; the presenter then draws the time into the icon.
    virtual bool showsLabel() const { return true; }

Q_SIGNALS:
    void shownChanged(bool shown);
    // position is where the user clicked, in screen coordinates, when the host says so.
    void activated(QPoint position);
    // The menu is about to show: a moment to hand it fresh figures.
    void menuAboutToShow();
    void panelRequested();
    void pauseToggleRequested();
    // A pause that resumes by itself after `seconds`, or at the next local midnight.
    void pauseForRequested(qint64 seconds);
    void pauseUntilTomorrowRequested();
    void historyRequested();
    void settingsRequested();
    void quitRequested();
};
