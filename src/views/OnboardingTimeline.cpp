#include "OnboardingTimeline.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QTimeLine>
#include <QTimer>

#include <cmath>

OnboardingTimeline::OnboardingTimeline(QObject* parent)
    : QObject(parent)
    , m_steps(new QParallelAnimationGroup(this))
{}

void OnboardingTimeline::addStep(int delayMs, QObject* target, const char* property, qreal endValue,
                                 int durationMs, const QEasingCurve& easing)
{
    auto* delayed = new QSequentialAnimationGroup(m_steps);
    delayed->addPause(delayMs);
    const qreal from = target->property(property).toReal();
    delayed->addAnimation(propertyAnimation(target, property, from, endValue, durationMs, easing));
    m_stepEnds.append({target, property, endValue});
}

// One time line runs the whole cycle, out and back, and sets the property only on its frames.
void OnboardingTimeline::addLoop(int delayMs, QObject* target, const char* property, qreal from, qreal to,
                                 int durationMs, const QEasingCurve& easing, bool autoReverse)
{
    auto* cycle = new QTimeLine(autoReverse ? 2 * durationMs : durationMs, this);
    cycle->setLoopCount(0);
    cycle->setUpdateInterval(loopFrameMs);
    cycle->setEasingCurve(QEasingCurve::Linear);
    const QPointer<QObject> guarded(target);
    connect(cycle, &QTimeLine::valueChanged, this,
            [guarded, name = QByteArray(property), from, to, easing, autoReverse](qreal phase) {
                const qreal progress = autoReverse ? 1 - std::abs(1 - 2 * phase) : phase;
                if (guarded)
                    guarded->setProperty(name.constData(),
                                         from + (to - from) * easing.valueForProgress(progress));
            });
    auto* delay = new QTimer(this);
    delay->setSingleShot(true);
    delay->setInterval(delayMs);
    connect(delay, &QTimer::timeout, cycle, [cycle] { cycle->start(); });
    m_loops.append({delay, cycle});
    m_loopRests.append({target, property, target->property(property)});
}

void OnboardingTimeline::start()
{
    m_steps->start();
    for (const Loop& loop : std::as_const(m_loops))
        loop.delay->start();
}

void OnboardingTimeline::finish()
{
    m_steps->stop();
    for (const Loop& loop : std::as_const(m_loops)) {
        loop.delay->stop();
        loop.cycle->stop();
    }
    for (const QList<Target>* targets : {&m_stepEnds, &m_loopRests}) {
        for (const Target& target : *targets) {
            if (target.object)
                target.object->setProperty(target.property.constData(), target.value);
        }
    }
}

bool OnboardingTimeline::isRunning() const
{
    return m_steps->state() == QAbstractAnimation::Running;
}

QAbstractAnimation* OnboardingTimeline::propertyAnimation(QObject* target, const char* property, qreal from,
                                                          qreal to, int durationMs,
                                                          const QEasingCurve& easing)
{
    auto* animation = new QPropertyAnimation(target, property);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(durationMs);
    animation->setEasingCurve(easing);
    return animation;
}
