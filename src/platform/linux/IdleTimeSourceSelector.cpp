#include "IdleTimeSourceSelector.h"

#include "LogindIdleTimeSource.h"
#include "LogindSession.h"
#include "MutterIdleTimeSource.h"
#include "ScreenSaverIdleTimeSource.h"
#include "SessionLogging.h"

IdleTimeSourceSelector::IdleTimeSourceSelector(const Buses& buses, Prebuilt prebuilt, Clock clock)
    : m_wayland(prebuilt.wayland)
{
    m_chosen = choose(buses, prebuilt, clock);
    if (!m_wayland || m_chosen == m_wayland || m_chosenOutranksWayland)
        logChoice();
}

IdleTimeSourceSelector::~IdleTimeSourceSelector() = default;

std::optional<double> IdleTimeSourceSelector::secondsSinceLastInput()
{
    return m_chosen ? m_chosen->secondsSinceLastInput() : std::nullopt;
}

QString IdleTimeSourceSelector::name() const
{
    return m_chosen ? m_chosen->name() : QString();
}

void IdleTimeSourceSelector::waylandChanged()
{
    if (!m_chosenOutranksWayland && m_chosen != m_wayland && answers(m_wayland)) {
        m_chosen = m_wayland;
        m_owned.reset();
        logChoice();
    } else if (!m_choiceLogged) {
        logChoice();
    }
}

IdleTimeSource* IdleTimeSourceSelector::choose(const Buses& buses, Prebuilt prebuilt, const Clock& clock)
{
    if (MutterIdleTimeSource::probe(buses.session)) {
        m_chosenOutranksWayland = true;
        return keep(std::make_unique<MutterIdleTimeSource>(buses.session));
    }
    if (answers(prebuilt.wayland))
        return prebuilt.wayland;
    if (answers(prebuilt.x11))
        return prebuilt.x11;
    if (ScreenSaverIdleTimeSource::probe(buses.session))
        return keep(std::make_unique<ScreenSaverIdleTimeSource>(buses.session));
    const QString sessionPath = LogindSession::findPath(buses.system);
    if (LogindIdleTimeSource::probe(buses.system, sessionPath))
        return keep(std::make_unique<LogindIdleTimeSource>(buses.system, sessionPath, clock));
    return nullptr;
}

IdleTimeSource* IdleTimeSourceSelector::keep(std::unique_ptr<IdleTimeSource> source)
{
    m_owned = std::move(source);
    return m_owned.get();
}

bool IdleTimeSourceSelector::answers(IdleTimeSource* source)
{
    return source && source->secondsSinceLastInput().has_value();
}

void IdleTimeSourceSelector::logChoice()
{
    m_choiceLogged = true;
    if (m_chosen)
        qCInfo(lcDesktopSession).noquote() << QStringLiteral("Idle time from ") + m_chosen->name();
    else
        qCWarning(lcDesktopSession).noquote()
            << "No idle-time service answered, so screen time will count whenever the screen is awake and "
               "unlocked, even while nobody is at the machine.";
}
