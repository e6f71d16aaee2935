#include "ControlAdaptor.h"

#include "ControlService.h"

ControlAdaptor::ControlAdaptor(ControlService* service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{}

qlonglong ControlAdaptor::todaySeconds() const
{
    return m_service->todaySeconds();
}

QString ControlAdaptor::todayText() const
{
    return m_service->todayText();
}

QString ControlAdaptor::tier() const
{
    return m_service->tier();
}

bool ControlAdaptor::paused() const
{
    return m_service->isPaused();
}

bool ControlAdaptor::counting() const
{
    return m_service->isCounting();
}

qlonglong ControlAdaptor::allComputersTodaySeconds() const
{
    return m_service->allComputersTodaySeconds();
}

void ControlAdaptor::Pause()
{
    m_service->pause();
}

void ControlAdaptor::Resume()
{
    m_service->resume();
}

void ControlAdaptor::TogglePause()
{
    m_service->togglePause();
}

void ControlAdaptor::PauseFor(qlonglong seconds)
{
    m_service->pauseFor(seconds);
}

void ControlAdaptor::PauseUntilTomorrow()
{
    m_service->pauseUntilTomorrow();
}

void ControlAdaptor::ShowPanel()
{
    m_service->requestShowPanel();
}

void ControlAdaptor::OpenHistory()
{
    m_service->requestHistory();
}

void ControlAdaptor::OpenSettings()
{
    m_service->requestSettings();
}

void ControlAdaptor::ReloadSharing()
{
    m_service->requestSharingReload();
}

QStringList ControlAdaptor::Figures()
{
    return m_service->figures();
}

void ControlAdaptor::Subscribe(const QDBusMessage& message)
{
    m_service->subscribe(message.service());
}
