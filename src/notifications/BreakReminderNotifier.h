#pragma once

#include <QObject>

class NotificationCenter;
class ScreenTimeManager;

// Shows the break reminder whenever the manager says one is due. The centre must outlive this
// object; the connection ends by itself when the manager is destroyed.
class BreakReminderNotifier : public QObject {
    Q_OBJECT
public:
    BreakReminderNotifier(ScreenTimeManager& manager, NotificationCenter& center, QObject* parent = nullptr);

private:
    void post(qint64 minutes);

    NotificationCenter& m_center;
};
