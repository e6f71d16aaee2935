#pragma once

#include "NotificationRequest.h"

#include <QString>

#include <functional>

// The desktop's local notification service. Every operation may complete later and may
// fail; callers treat a failure as "no notification" and never as an error to show, since a
// missing notification service must not stop the counter.
class NotificationCenter {
public:
    // Only `authorized` allows notifications; `notDetermined` means the user was never asked.
    enum class AuthorizationStatus { notDetermined, denied, authorized };

    virtual ~NotificationCenter() = default;

    virtual void requestAuthorization(std::function<void(bool granted)> done) = 0;
    virtual void authorizationStatus(std::function<void(AuthorizationStatus status)> done) = 0;
    // A request under an identifier that is already pending or delivered replaces it.
    virtual void add(const NotificationRequest& request, std::function<void(bool ok)> done = {}) = 0;
    // The pending request with this identifier will not be delivered; an unknown identifier
    // is not an error.
    virtual void removePending(const QString& identifier) = 0;
};
