#pragma once

#include "Clock.h"
#include "StatusItemState.h"
#include "ThresholdTier.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class StatusItemBackend;

// Decides what the status item shows: the counter text (with a pause sign while paused) or
// nothing in icon-only mode, an icon in the tier colour (faded while paused), a half-second
// colour glide when the tier changes, and the spoken total, refreshed on every 60th redraw.
class StatusItemPresenter : public QObject {
    Q_OBJECT
public:
    using ColorSource = std::function<QColor(ThresholdTier)>;

    static constexpr double pausedAlpha = 0.4;
    static constexpr std::chrono::milliseconds transitionLength{500};
    static constexpr std::chrono::milliseconds frameInterval{33};
    static constexpr int accessibilityRefreshInterval = 60;

    // The backend must outlive the presenter. colors gives each tier's colour at the moment of
    // asking, so the user's overrides show at the next redraw.
    StatusItemPresenter(StatusItemBackend& backend, ColorSource colors, Clock clock,
                        QObject* parent = nullptr);

    // One redraw with fresh figures: at launch, on every tick, on wake and on a pause toggle.
    void update(const StatusItemState& state);
    // For hosts that never show the label: the icon carries the compact time instead.
    void setCompactTimeInIcon(bool enabled);
    bool compactTimeInIcon() const { return m_compactTimeInIcon; }

    bool isAnimating() const { return m_animationStart.has_value(); }
    // One frame of a running glide; the frame timer calls it, tests may call it directly.
    void animationStep();

    static QString pausePrefix();
    static QString accessibilityText(qint64 totalSeconds, bool paused);
    // The text with every digit widened to 0, so the host reserves room for the widest variant.
    static QString labelGuide(const QString& text);

private:
    void redraw();
    void followTier(ThresholdTier tier);
    void startColorAnimation(const QColor& from, const QColor& to);
    void stopColorAnimation();
    QColor currentColor() const;
    void drawLabel();
    void drawIcon(const QColor& color);
    void refreshAccessibility();

    enum class IconKind { dot, clock, compactTime };
    struct IconKey {
        IconKind kind;
        QRgb color;
        QString text;
        bool operator==(const IconKey&) const = default;
    };

    StatusItemBackend& m_backend;
    std::optional<IconKey> m_lastIcon;
    ColorSource m_colors;
    Clock m_clock;
    StatusItemState m_state;
    bool m_compactTimeInIcon = false;
    ThresholdTier m_previousTier = ThresholdTier::green;
    QTimer m_animationTimer;
    std::optional<QDateTime> m_animationStart;
    QColor m_animationStartColor;
    QColor m_animationTargetColor;
    int m_ticksSinceLastA11yUpdate = accessibilityRefreshInterval;
};
