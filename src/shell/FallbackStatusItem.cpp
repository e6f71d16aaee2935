#include "FallbackStatusItem.h"

FallbackStatusItem::FallbackStatusItem(std::unique_ptr<StatusItemBackend> preferred, Factory makeFallback,
                                       std::chrono::milliseconds gracePeriod, QObject* parent)
    : StatusItemBackend(parent)
    , m_preferred(std::move(preferred))
    , m_makeFallback(std::move(makeFallback))
{
    m_graceTimer.setSingleShot(true);
    m_graceTimer.setInterval(gracePeriod);
    connect(&m_graceTimer, &QTimer::timeout, this, &FallbackStatusItem::fallBack);
    forwardSignals(*m_preferred);
    connect(m_preferred.get(), &StatusItemBackend::shownChanged, this,
            &FallbackStatusItem::onPreferredShownChanged);
}

FallbackStatusItem::~FallbackStatusItem() = default;

void FallbackStatusItem::forwardSignals(StatusItemBackend& backend)
{
    connect(&backend, &StatusItemBackend::activated, this, &StatusItemBackend::activated);
    connect(&backend, &StatusItemBackend::menuAboutToShow, this, &StatusItemBackend::menuAboutToShow);
    connect(&backend, &StatusItemBackend::panelRequested, this, &StatusItemBackend::panelRequested);
    connect(&backend, &StatusItemBackend::pauseToggleRequested, this,
            &StatusItemBackend::pauseToggleRequested);
    connect(&backend, &StatusItemBackend::pauseForRequested, this, &StatusItemBackend::pauseForRequested);
    connect(&backend, &StatusItemBackend::pauseUntilTomorrowRequested, this,
            &StatusItemBackend::pauseUntilTomorrowRequested);
    connect(&backend, &StatusItemBackend::historyRequested, this, &StatusItemBackend::historyRequested);
    connect(&backend, &StatusItemBackend::settingsRequested, this, &StatusItemBackend::settingsRequested);
    connect(&backend, &StatusItemBackend::quitRequested, this, &StatusItemBackend::quitRequested);
}

bool FallbackStatusItem::start()
{
    const bool started = m_preferred->start();
    if (!m_preferred->isShown())
        m_graceTimer.start();
    return started;
}

bool FallbackStatusItem::isShown() const
{
    return m_preferred->isShown() || (m_fallback && m_fallback->isShown());
}

bool FallbackStatusItem::showsLabel() const
{
    return active().showsLabel();
}

StatusItemBackend& FallbackStatusItem::active() const
{
    return m_fallback ? *m_fallback : *m_preferred;
}

void FallbackStatusItem::onPreferredShownChanged(bool shown)
{
    if (shown) {
        m_graceTimer.stop();
        m_fallback.reset();
    } else if (!m_fallback) {
        m_graceTimer.start();
    }
    Q_EMIT shownChanged(isShown());
}

void FallbackStatusItem::fallBack()
{
    if (m_preferred->isShown() || m_fallback)
        return;
    m_fallback = m_makeFallback ? m_makeFallback() : nullptr;
    if (m_fallback) {
        forwardSignals(*m_fallback);
        replayInto(*m_fallback);
        m_fallback->start();
    } else if (!m_toldNothingCanShow) {
        m_toldNothingCanShow = true;
        Q_EMIT nothingCanShow();
    }
    Q_EMIT shownChanged(isShown());
}

void FallbackStatusItem::replayInto(StatusItemBackend& backend) const
{
    backend.setLabel(m_label, m_guide);
    if (!m_icon.isNull())
        backend.setIcon(m_icon);
    backend.setToolTip(m_toolTip);
    backend.setMenuPaused(m_paused);
    backend.setMenuFigures(m_figures);
}

// The preferred item keeps its state while a fallback stands in, so it is right at once when
// its host appears.
void FallbackStatusItem::setLabel(const QString& text, const QString& guide)
{
    m_label = text;
    m_guide = guide;
    m_preferred->setLabel(text, guide);
    if (m_fallback)
        m_fallback->setLabel(text, guide);
}

void FallbackStatusItem::setIcon(const QImage& icon)
{
    m_icon = icon;
    m_preferred->setIcon(icon);
    if (m_fallback)
        m_fallback->setIcon(icon);
}

void FallbackStatusItem::setToolTip(const QString& text)
{
    m_toolTip = text;
    m_preferred->setToolTip(text);
    if (m_fallback)
        m_fallback->setToolTip(text);
}

void FallbackStatusItem::setMenuPaused(bool paused)
{
    m_paused = paused;
    m_preferred->setMenuPaused(paused);
    if (m_fallback)
        m_fallback->setMenuPaused(paused);
}

void FallbackStatusItem::setMenuFigures(const QStringList& rows)
{
    m_figures = rows;
    m_preferred->setMenuFigures(rows);
    if (m_fallback)
        m_fallback->setMenuFigures(rows);
}
