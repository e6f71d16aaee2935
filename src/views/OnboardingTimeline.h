#pragma once

#include <QByteArray>
#include <QEasingCurve>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

class QAbstractAnimation;
class QParallelAnimationGroup;
class QTimer;

// An entrance sequence: timed property changes that start together, each waiting its own delay
// before animating one property of a target to its end value, and loops that repeat forever
// once their delay has passed. The loops are slow glows and sweeps that run for as long as the
// window is open, so they step at a frame rate the eye needs for them, not at the display's,
// and all on one frame clock, so that a frame that moves several of them is drawn once.
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
    struct Loop {
        Target target;
        int delayMs;
        qreal from;
        qreal to;
        int durationMs;
        QEasingCurve easing;
        bool autoReverse;
    };

    static QAbstractAnimation* propertyAnimation(QObject* target, const char* property, qreal from, qreal to,
                                                 int durationMs, const QEasingCurve& easing);
    void stepLoops();

    QParallelAnimationGroup* m_steps = nullptr;
    QTimer* m_loopFrames = nullptr;
    QElapsedTimer m_sinceStart;
    QList<Loop> m_loops;
    QList<Target> m_stepEnds;
};
