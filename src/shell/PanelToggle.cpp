#include "PanelToggle.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
// How far from the screen's edge a click still counts as a click on a bar along that edge.
constexpr int barBand = 64;

// The panel opens with its corner at `position` but never hangs off the screen's usable area
// (a panel at the bottom or the right edge would otherwise push it out of sight). A bar that
// reserves no space (a Wayland layer-shell bar seen through Xwayland) leaves the usable area
// whole, so a click near the edge is taken to sit mid-bar and the panel clears the bar's other
// half instead of covering it.
QPoint keptOnScreen(QPoint position, QSize size)
{
    const QScreen* screen = QGuiApplication::screenAt(position);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return position;
    const QRect area = screen->availableGeometry();
    int top = position.y();
    if (area.contains(position) && top - area.top() < barBand)
        top = area.top() + 2 * (top - area.top());
    else if (area.contains(position) && area.bottom() - top < barBand)
        top = area.bottom() + 1 - 2 * (area.bottom() + 1 - top) - size.height();
    const int x = std::max(area.left(), std::min(position.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(top, area.bottom() + 1 - size.height()));
    return {x, y};
}
} // namespace

PanelToggle::PanelToggle(QWidget& panel, Clock clock, QObject* parent)
    : QObject(parent)
    , m_panel(panel)
    , m_clock(std::move(clock))
{
    m_panel.installEventFilter(this);
}

void PanelToggle::toggleAt(QPoint position)
{
    const bool justClosed =
        m_closedByItselfAt.isValid() && m_closedByItselfAt.msecsTo(m_clock()) < closingClickMSecs;
    if (m_panel.isVisible() || justClosed) {
        close();
        return;
    }
    showAt(position);
}

void PanelToggle::toggle()
{
    toggleAt(m_lastActivationPoint.isNull() ? QCursor::pos() : m_lastActivationPoint);
}

void PanelToggle::close()
{
    m_panel.hide();
    m_closedByItselfAt = {};
}

// Closes like a popover: when another window takes the focus (as a click outside does) and on
// Escape. Without a status item the panel is an ordinary window, which stays open.
bool PanelToggle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_panel)
        return QObject::eventFilter(watched, event);
    const bool popover = m_panel.windowType() == Qt::Tool;
    if (event->type() == QEvent::Hide)
        m_closedByItselfAt = m_clock();
    else if (popover && event->type() == QEvent::WindowDeactivate && !justShown())
        m_panel.hide();
    else if (popover && event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_panel.hide();
    return QObject::eventFilter(watched, event);
}

// Some compositors take the focus back from an override-redirect window the moment it gets it
// (sway's Xwayland does): a deactivation that soon after opening is theirs, not a click outside.
bool PanelToggle::justShown() const
{
    return m_shownAt.isValid() && m_shownAt.msecsTo(m_clock()) < closingClickMSecs;
}

void PanelToggle::showAt(QPoint position)
{
    m_lastActivationPoint = position;
    m_shownAt = m_clock();
    Q_EMIT aboutToShow();
    m_panel.adjustSize();
    m_panel.move(keptOnScreen(position, m_panel.size()));
    m_panel.show();
    m_panel.activateWindow();
}
