#include "PauseButton.h"

#include "PanelStyle.h"
#include "RoleAccessible.h"
#include "SymbolIcon.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace {
constexpr int symbolSize = 12;
}

PauseButton::PauseButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("pauseButton"));
    setCursor(Qt::PointingHandCursor);
    // Checked while paused, so a screen reader tells the state. Qt's own interface would toggle
    // the state without a click when a screen reader presses it, and nothing would pause.
    setCheckable(true);
    RoleAccessible::setRole(this, QAccessible::CheckBox);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(6);
    m_symbol = addLabel(QStringLiteral("pauseSymbol"));
    m_title = addLabel(QStringLiteral("pauseTitle"));
    m_title->setFont(PanelStyle::calloutFont());
    row->addStretch(1);
    m_hint = addLabel(QStringLiteral("shortcutHint"));
    m_hint->setFont(PanelStyle::captionFont());
    m_hint->hide();
    setPaused(false);
}

void PauseButton::setPaused(bool paused)
{
    m_paused = paused;
    setChecked(paused);
    const QString title = paused ? QStringLiteral("Resume Tracking") : QStringLiteral("Pause Tracking");
    m_title->setText(title);
    setText(title);
    setAccessibleName(paused ? QStringLiteral("Resume screen time tracking")
                             : QStringLiteral("Pause screen time tracking"));
    applyColours();
}

void PauseButton::setShortcutHint(const QString& hint, const QString& spokenHint)
{
    m_hint->setText(hint);
    m_hint->setAccessibleName(spokenHint);
    m_hint->setVisible(!hint.isEmpty());
    setAccessibleDescription(spokenHint.isEmpty() ? QString() : QStringLiteral("Shortcut: ") + spokenHint);
}

void PauseButton::paintEvent(QPaintEvent* /*event*/)
{
    // The labels draw the content; the button itself only shows where the pointer or focus is.
    if (!underMouse() && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PanelStyle::withOpacity(PanelStyle::primary(palette()), 0.08));
    painter.drawRoundedRect(rect(), 4, 4);
}

void PauseButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyColours();
    QAbstractButton::changeEvent(event);
}

// The labels are part of the button's face, so clicks on them must reach the button.
QLabel* PauseButton::addLabel(const QString& objectName)
{
    auto* label = new QLabel(this);
    label->setObjectName(objectName);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout()->addWidget(label);
    return label;
}

void PauseButton::applyColours()
{
    if (!m_symbol)
        return;
    const QColor foreground = m_paused ? PanelStyle::paused() : PanelStyle::primary(palette());
    const auto symbol = m_paused ? SymbolIcon::Symbol::play : SymbolIcon::Symbol::pause;
    m_symbol->setPixmap(SymbolIcon::pixmap(symbol, foreground, symbolSize));
    PanelStyle::setTextColor(m_title, foreground);
    PanelStyle::setTextColor(m_hint, PanelStyle::tertiary(palette()));
}
