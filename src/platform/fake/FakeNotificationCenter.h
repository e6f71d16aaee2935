#pragma once

#include "NotificationCenter.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <optional>

// Keeps notifications in memory instead of showing them, for tests and the headless mode.
// Completion callbacks run before the call returns.
class FakeNotificationCenter : public NotificationCenter {
public:
    void requestAuthorization(std::function<void(bool granted)> done) override;
    void authorizationStatus(std::function<void(AuthorizationStatus status)> done) override;
    void add(const NotificationRequest& request, std::function<void(bool ok)> done = {}) override;
    void removePending(const QString& identifier) override;

    void setAuthorizationStatus(AuthorizationStatus status) { m_status = status; }
    // What the user answers when asked while the status is still undetermined.
    void setAnswerToAuthorizationRequest(bool grant) { m_answer = grant; }
    // While failing, the service behaves as if unreachable: nothing is stored or removed,
    // adds and authorisation requests report failure, the status reads as undetermined.
    void setFailing(bool failing) { m_failing = failing; }

    std::optional<NotificationRequest> pendingRequest(const QString& identifier) const;
    QStringList pendingIdentifiers() const { return m_pending.keys(); }
    // Notifications added without a trigger, one per identifier, in order of delivery.
    const QList<NotificationRequest>& delivered() const { return m_delivered; }
    // Every call in order, as "add <identifier>" or "removePending <identifier>", whether or
    // not it took effect.
    const QStringList& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

private:
    void deliver(const NotificationRequest& request);
    void forgetDelivered(const QString& identifier);

    QMap<QString, NotificationRequest> m_pending;
    QList<NotificationRequest> m_delivered;
    QStringList m_log;
    AuthorizationStatus m_status = AuthorizationStatus::notDetermined;
    bool m_answer = true;
    bool m_failing = false;
};
