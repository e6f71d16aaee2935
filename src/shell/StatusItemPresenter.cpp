#include "StatusItemPresenter.h"

#include "SpokenDuration.h"
#include "StatusIconRenderer.h"
#include "StatusItemBackend.h"
#include "TierColors.h"

#include <QFont>
#include <QFontMetrics>

StatusItemPresenter::StatusItemPresenter(StatusItemBackend& backend, ColorSource colors, Clock clock,
                                         QObject* parent)
    : QObject(parent)
    , m_backend(backend)
    , m_colors(std::move(colors))
    , m_clock(std::move(clock))
{
    m_animationTimer.setInterval(frameInterval);
    m_animationTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_animationTimer, &QTimer::timeout, this, &StatusItemPresenter::animationStep);
}

void StatusItemPresenter::update(const StatusItemState& state)
{
    m_state = state;
    redraw();
}

bool StatusItemPresenter::timeInIcon() const
{
    if (m_state.iconOnly)
        return false;
    return m_state.timePlacement == TimePlacement::inIcon ||
           (m_state.timePlacement == TimePlacement::automatic && !m_backend.showsLabel());
}

void StatusItemPresenter::redraw()
{
    followTier(m_state.tier);
    QColor color = currentColor();
    if (m_state.paused)
        color.setAlphaF(pausedAlpha);
    drawLabel();
    drawIcon(color);
    m_backend.setMenuPaused(m_state.paused);
    refreshAccessibility();
}

void StatusItemPresenter::followTier(ThresholdTier tier)
{
    if (tier == m_previousTier)
        return;
    // A glide already running restarts from the full colour of the tier drawn last, not from
    // the colour on screen, so every glide has the same length and ends.
    startColorAnimation(m_colors(m_previousTier), m_colors(tier));
    m_previousTier = tier;
}

void StatusItemPresenter::startColorAnimation(const QColor& from, const QColor& to)
{
    m_animationStartColor = from;
    m_animationTargetColor = to;
    m_animationStart = m_clock();
    m_animationTimer.start();
}

void StatusItemPresenter::stopColorAnimation()
{
    m_animationTimer.stop();
    m_animationStart.reset();
}

void StatusItemPresenter::animationStep()
{
    if (!m_animationStart) {
        m_animationTimer.stop();
        return;
    }
    if (m_animationStart->msecsTo(m_clock()) >= transitionLength.count())
        stopColorAnimation();
    redraw();
}

QColor StatusItemPresenter::currentColor() const
{
    if (!m_animationStart)
        return m_colors(m_state.tier);
    const double elapsed = static_cast<double>(m_animationStart->msecsTo(m_clock()));
    const double progress = elapsed / static_cast<double>(transitionLength.count());
    return TierColors::interpolateColor(m_animationStartColor, m_animationTargetColor, progress);
}

// A host that draws no label gets an empty one once; the backend sends nothing for the same
// text again, so such hosts hear nothing every second.
void StatusItemPresenter::drawLabel()
{
    if (m_state.iconOnly || timeInIcon()) {
        m_backend.setLabel(QString(), QString());
        return;
    }
    const QString shown = m_state.pauseTimeLeft.isEmpty() ? m_state.formattedTime : m_state.pauseTimeLeft;
    if (m_state.paused && m_pausePrefix.isEmpty())
        m_pausePrefix = pausePrefix();
    const QString text = m_state.paused ? m_pausePrefix + shown : shown;
    m_backend.setLabel(text, labelGuide(text));
}

// The icon changes only with the colour, the mode or (when it carries the time) the minute, so
// the usual second's redraw renders nothing and sends nothing.
void StatusItemPresenter::drawIcon(const QColor& color)
{
    const bool inIcon = timeInIcon();
    const IconKey key{m_state.iconOnly ? IconKind::dot
                      : inIcon         ? IconKind::time
                                       : IconKind::clock,
                      color.rgba(), m_state.paused,
                      inIcon ? StatusIconRenderer::timeLines(m_state.accumulatedSeconds) : QStringList()};
    if (m_lastIcon == key)
        return;
    m_lastIcon = key;
    switch (key.kind) {
    case IconKind::dot:
        m_backend.setIcon(StatusIconRenderer::renderDot(color, key.paused));
        break;
    case IconKind::time:
        m_backend.setIcon(StatusIconRenderer::renderTime(color, key.lines, key.paused));
        break;
    case IconKind::clock:
        m_backend.setIcon(StatusIconRenderer::renderClock(color, key.paused));
        break;
    }
}

// Where the host shows no label the tool tip is the exact figure, so it follows the total's
// minute and the pause at once, yet changes at most once a minute while counting.
void StatusItemPresenter::refreshAccessibility()
{
    const std::pair<qint64, bool> told{m_state.accumulatedSeconds / 60, m_state.paused};
    if (m_lastToldMinute == told)
        return;
    m_lastToldMinute = told;
    m_backend.setToolTip(accessibilityText(m_state.accumulatedSeconds, m_state.paused));
}

QString StatusItemPresenter::pausePrefix(const std::function<bool(char32_t)>& canDraw)
{
    // The variation selector asks for the text form of the pause sign, never an emoji. Debian's
    // default fonts (DejaVu) lack it and hosts would draw a box. Two heavy vertical bars are in
    // DejaVu Sans and read as the pause sign at panel size; a double vertical line, in every
    // DejaVu face, blurs into one grey stroke there, so it only comes after them.
    if (canDraw(0x23F8))
        return QString(QChar(0x23F8)) + QChar(0xFE0E) + QLatin1Char(' ');
    if (canDraw(0x275A))
        return QString(2, QChar(0x275A)) + QLatin1Char(' ');
    if (canDraw(0x2016))
        return QString(QChar(0x2016)) + QLatin1Char(' ');
    return QStringLiteral("|| ");
}

// Qt falls back through fontconfig's fonts as a panel's toolkit does, so a glyph found here is
// one the host can draw too.
bool StatusItemPresenter::fontsCanDraw(char32_t character)
{
    return QFontMetrics(QFont()).inFontUcs4(character);
}

QString StatusItemPresenter::accessibilityText(qint64 totalSeconds, bool paused)
{
    const qint64 hours = totalSeconds / 3600;
    const qint64 minutes = (totalSeconds % 3600) / 60;
    const qint64 seconds = totalSeconds % 60;
    QString text = QStringLiteral("Screen time today: ") + countedUnit(hours, QLatin1String("hour")) +
                   QLatin1Char(' ') + countedUnit(minutes, QLatin1String("minute")) + QLatin1Char(' ') +
                   countedUnit(seconds, QLatin1String("second"));
    if (paused)
        text.prepend(QStringLiteral("Tracking paused. "));
    return text;
}

QString StatusItemPresenter::labelGuide(const QString& text)
{
    QString guide = text;
    for (QChar& character : guide) {
        if (character.isDigit())
            character = QLatin1Char('0');
    }
    return guide;
}
