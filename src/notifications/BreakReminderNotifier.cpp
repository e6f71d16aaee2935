#include "BreakReminderNotifier.h"

#include "BreakReminder.h"
#include "NotificationCenter.h"
#include "NotificationRequest.h"
#include "ScreenTimeManager.h"

BreakReminderNotifier::BreakReminderNotifier(ScreenTimeManager& manager, NotificationCenter& center,
                                             QObject* parent)
    : QObject(parent)
    , m_center(center)
{
    connect(&manager, &ScreenTimeManager::breakReminderDue, this, &BreakReminderNotifier::post);
}

void BreakReminderNotifier::post(qint64 minutes)
{
    NotificationRequest request;
    request.identifier = NotificationIdentifiers::breakReminder;
    request.title = notificationTitle;
    request.body = breakReminderBody(minutes);
    // A reminder that could not be shown is not worth a second attempt: the next one comes
    // after the next stretch anyway.
    m_center.add(request);
}
