#pragma once

#include <QByteArray>
#include <QEasingCurve>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

class QAbstractAnimation;
class QParallelAnimationGroup;
class QTimeLine;
class QTimer;

// An entrance sequence: timed property changes that start together, each waiting its own delay
// before animating one property of a target to its end value, and loops that repeat forever
// once their delay has passed. The loops are slow glows and sweeps that run for as long as the
// window is open, so they step at a frame rate the eye needs for them, not at the display's.
class OnboardingTimeline : public QObject {
    Q_OBJECT
public:
    explicit OnboardingTimeline(QObject* parent = nullptr);

    // Animates `property` from its current value to `endValue`.
    void addStep(int delayMs, QObject* target, const char* property, qreal endValue, int durationMs,
                 const QEasingCurve& easing);
    static constexpr int loopFrameMs = 40;

    // Runs `property` from `from` to `to` and, with `autoReverse`, back again, forever.
    void addLoop(int delayMs, QObject* target, const char* property, qreal from, qreal to, int durationMs,
                 const QEasingCurve& easing, bool autoReverse);

    void start();
    // Puts every step at its end value at once and stops the loops at their resting value, so
    // that a still picture shows the finished entrance.
    void finish();
    bool isRunning() const;

private:
    struct Target {
        QPointer<QObject> object;
        QByteArray property;
        QVariant value;
    };

    static QAbstractAnimation* propertyAnimation(QObject* target, const char* property, qreal from, qreal to,
                                                 int durationMs, const QEasingCurve& easing);

    QParallelAnimationGroup* m_steps = nullptr;
    struct Loop {
        QTimer* delay;
        QTimeLine* cycle;
    };
    QList<Loop> m_loops;
    QList<Target> m_stepEnds;
    QList<Target> m_loopRests;
};
