#include "FakeNotificationCenter.h"

using namespace Qt::StringLiterals;

void FakeNotificationCenter::requestAuthorization(std::function<void(bool granted)> done)
{
    m_log.append(u"requestAuthorization"_s);
    if (!m_failing && m_status == AuthorizationStatus::notDetermined)
        m_status = m_answer ? AuthorizationStatus::authorized : AuthorizationStatus::denied;
    if (done)
        done(!m_failing && m_status == AuthorizationStatus::authorized);
}

void FakeNotificationCenter::authorizationStatus(std::function<void(AuthorizationStatus status)> done)
{
    if (done)
        done(m_failing ? AuthorizationStatus::notDetermined : m_status);
}

void FakeNotificationCenter::add(const NotificationRequest& request, std::function<void(bool ok)> done)
{
    m_log.append(u"add "_s + request.identifier);
    if (!m_failing) {
        if (request.trigger) {
            forgetDelivered(request.identifier);
            m_pending.insert(request.identifier, request);
        } else {
            m_pending.remove(request.identifier);
            deliver(request);
        }
    }
    if (done)
        done(!m_failing);
}

void FakeNotificationCenter::removePending(const QString& identifier)
{
    m_log.append(u"removePending "_s + identifier);
    if (!m_failing)
        m_pending.remove(identifier);
}

std::optional<NotificationRequest> FakeNotificationCenter::pendingRequest(const QString& identifier) const
{
    const auto found = m_pending.constFind(identifier);
    if (found == m_pending.constEnd())
        return std::nullopt;
    return *found;
}

void FakeNotificationCenter::deliver(const NotificationRequest& request)
{
    // A replacement takes the place of the notification it replaces rather than adding a second.
    forgetDelivered(request.identifier);
    m_delivered.append(request);
}

void FakeNotificationCenter::forgetDelivered(const QString& identifier)
{
    m_delivered.removeIf(
        [&identifier](const NotificationRequest& shown) { return shown.identifier == identifier; });
}
