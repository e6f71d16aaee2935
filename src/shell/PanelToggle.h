#pragma once

#include "Clock.h"

#include <QDateTime>
#include <QObject>
#include <QPoint>

class QWidget;

// Opens the dropdown panel where the status item was clicked and closes it on the next click.
// While the panel is open, a click on the item first closes the panel (a popup closes on any
// click outside it) and only then reaches us as an activation: that activation is the closing
// click, not a request to open the panel again somewhere else.
class PanelToggle : public QObject {
    Q_OBJECT
public:
    // Longer than the trip of a click from the panel host to us, shorter than a deliberate
    // second click.
    static constexpr qint64 closingClickMSecs = 400;

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

    QWidget& m_panel;
    Clock m_clock;
    // When the panel last closed by itself; invalid once that close has been accounted for.
    QDateTime m_closedByItselfAt;
    QPoint m_lastActivationPoint;
};
