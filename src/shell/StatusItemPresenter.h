#pragma once

#include "Clock.h"
#include "StatusItemState.h"
#include "ThresholdTier.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class StatusItemBackend;

// Decides what the status item shows: the counter text (with a pause sign the fonts can draw)
// beside the icon, or the time drawn into the icon where the host shows no label, or nothing
// in icon-only mode; an icon in the tier colour (faded and marked while paused), a half-second
// colour glide when the tier changes, and the spoken total, told again whenever its minute or
// the pause changes.
class StatusItemPresenter : public QObject {
    Q_OBJECT
public:
    using ColorSource = std::function<QColor(ThresholdTier)>;

    static constexpr double pausedAlpha = 0.4;
    static constexpr std::chrono::milliseconds transitionLength{500};
    static constexpr std::chrono::milliseconds frameInterval{33};

    // The backend must outlive the presenter. colors gives each tier's colour at the moment of
    // asking, so the user's overrides show at the next redraw.
    StatusItemPresenter(StatusItemBackend& backend, ColorSource colors, Clock clock,
                        QObject* parent = nullptr);

    // One redraw with fresh figures: at launch, on every tick, on wake and on a pause toggle.
    void update(const StatusItemState& state);

    bool isAnimating() const { return m_animationStart.has_value(); }
    // One frame of a running glide; the frame timer calls it, tests may call it directly.
    void animationStep();

    // The pause sign and a space: U+23F8 in its text form where a font can draw it, else a
    // sign Debian's default fonts have. canDraw tells whether some installed font has a glyph.
    static QString pausePrefix(const std::function<bool(char32_t)>& canDraw = &fontsCanDraw);
    static bool fontsCanDraw(char32_t character);
    static QString accessibilityText(qint64 totalSeconds, bool paused);
    // The text with every digit widened to 0, so the host reserves room for the widest variant.
    static QString labelGuide(const QString& text);

private:
    // Whether the time goes into the icon rather than into the label.
    bool timeInIcon() const;
    void redraw();
    void followTier(ThresholdTier tier);
    void startColorAnimation(const QColor& from, const QColor& to);
    void stopColorAnimation();
    QColor currentColor() const;
    void drawLabel();
    void drawIcon(const QColor& color);
    void refreshAccessibility();

    enum class IconKind { dot, clock, time };
    struct IconKey {
        IconKind kind;
        QRgb color;
        bool paused;
        QStringList lines;
        bool operator==(const IconKey&) const = default;
    };

    StatusItemBackend& m_backend;
    std::optional<IconKey> m_lastIcon;
    ColorSource m_colors;
    Clock m_clock;
    StatusItemState m_state;
    // Found at the first pause: asking the fonts loads the whole font database, which a
    // counter that is never paused does not otherwise need.
    QString m_pausePrefix;
    ThresholdTier m_previousTier = ThresholdTier::green;
    QTimer m_animationTimer;
    std::optional<QDateTime> m_animationStart;
    QColor m_animationStartColor;
    QColor m_animationTargetColor;
    // What the spoken total last said: its whole minutes and the pause.
    std::optional<std::pair<qint64, bool>> m_lastToldMinute;
};
