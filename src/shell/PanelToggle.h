#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>
#include <QPoint>

class QWidget;

// Opens the dropdown panel where the status item was clicked and closes it on the next click,
// on Escape, or when the user turns to another window. While the panel is open, a click on the
// item may first close the panel (it loses the focus) and only then reach us as an activation:
// that activation is the closing click, not a request to open the panel again somewhere else.
class PanelToggle : public QObject {
    Q_OBJECT
public:
    // Longer than the trip of a click from the panel host to us, shorter than a deliberate
    // second click.
    static constexpr qint64 closingClickMSecs = 400;
    // A frameless tool window the window manager leaves where we put it, out of every task
    // list. Not a Qt::Popup: Qt hides popups from screen readers, whose users then hear nothing
    // when the panel opens; a tool window is announced by its name and takes the focus.
    static constexpr Qt::WindowFlags windowFlags =
        Qt::Tool | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint;

    // The panel must outlive this object.
    PanelToggle(QWidget& panel, Clock clock, QObject* parent = nullptr);

    void toggleAt(QPoint position);
    // A request without a position (over the bus) opens where the item was last clicked, or at
    // the pointer when it never was.
    void toggle();
    void close();

Q_SIGNALS:
    // Just before the panel shows, so what it shows can be brought up to date.
    void aboutToShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showAt(QPoint position);
    bool justShown() const;

    QWidget& m_panel;
    Clock m_clock;
    // When the panel last closed by itself; invalid once that close has been accounted for.
    QDateTime m_closedByItselfAt;
    QDateTime m_shownAt;
    QPoint m_lastActivationPoint;
};
