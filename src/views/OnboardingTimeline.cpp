#include "OnboardingTimeline.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>

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

void OnboardingTimeline::addLoop(int delayMs, QObject* target, const char* property, qreal from, qreal to,
                                 int durationMs, const QEasingCurve& easing, bool autoReverse)
{
    auto* cycle = new QSequentialAnimationGroup;
    cycle->addAnimation(propertyAnimation(target, property, from, to, durationMs, easing));
    if (autoReverse)
        cycle->addAnimation(propertyAnimation(target, property, to, from, durationMs, easing));
    cycle->setLoopCount(-1);

    auto* delayed = new QSequentialAnimationGroup(this);
    delayed->addPause(delayMs);
    delayed->addAnimation(cycle);
    m_loops.append(delayed);
    m_loopRests.append({target, property, target->property(property)});
}

void OnboardingTimeline::start()
{
    m_steps->start();
    for (QAbstractAnimation* loop : std::as_const(m_loops))
        loop->start();
}

void OnboardingTimeline::finish()
{
    m_steps->stop();
    for (QAbstractAnimation* loop : std::as_const(m_loops))
        loop->stop();
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
