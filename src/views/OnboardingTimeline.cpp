#include "OnboardingTimeline.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QTimer>

#include <cmath>

OnboardingTimeline::OnboardingTimeline(QObject* parent)
    : QObject(parent)
    , m_steps(new QParallelAnimationGroup(this))
    , m_loopFrames(new QTimer(this))
{
    m_loopFrames->setInterval(loopFrameMs);
    connect(m_loopFrames, &QTimer::timeout, this, &OnboardingTimeline::stepLoops);
}

void OnboardingTimeline::addStep(int delayMs, QObject* target, const char* property, qreal endValue,
                                 int durationMs, const QEasingCurve& easing)
{
    auto* delayed = new QSequentialAnimationGroup(m_steps);
    delayed->addPause(delayMs);
    const qreal from = target->property(property).toReal();
    delayed->addAnimation(propertyAnimation(target, property, from, endValue, durationMs, easing));
    m_stepEnds.append({target, property, endValue});
}

// A loop keeps the value its property had as its resting value.
void OnboardingTimeline::addLoop(int delayMs, QObject* target, const char* property, qreal from, qreal to,
                                 int durationMs, const QEasingCurve& easing, bool autoReverse)
{
    m_loops.append({{target, property, target->property(property)},
                    delayMs,
                    from,
                    to,
                    autoReverse ? 2 * durationMs : durationMs,
                    easing,
                    autoReverse});
}

void OnboardingTimeline::start()
{
    m_steps->start();
    m_sinceStart.start();
    if (!m_loops.isEmpty())
        m_loopFrames->start();
}

// Each loop runs its whole cycle, out and back, from the end of its delay.
void OnboardingTimeline::stepLoops()
{
    const qint64 elapsed = m_sinceStart.elapsed();
    for (const Loop& loop : std::as_const(m_loops)) {
        if (elapsed < loop.delayMs || !loop.target.object)
            continue;
        const qreal phase = qreal((elapsed - loop.delayMs) % loop.durationMs) / loop.durationMs;
        const qreal progress = loop.autoReverse ? 1 - std::abs(1 - 2 * phase) : phase;
        loop.target.object->setProperty(loop.target.property.constData(),
                                        loop.from +
                                            (loop.to - loop.from) * loop.easing.valueForProgress(progress));
    }
}

void OnboardingTimeline::finish()
{
    m_steps->stop();
    m_loopFrames->stop();
    for (const Target& target : std::as_const(m_stepEnds)) {
        if (target.object)
            target.object->setProperty(target.property.constData(), target.value);
    }
    for (const Loop& loop : std::as_const(m_loops)) {
        if (loop.target.object)
            loop.target.object->setProperty(loop.target.property.constData(), loop.target.value);
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
