#pragma once

#include "DesktopServices.h"
#include "FakeGlobalHotKey.h"
#include "FakeLoginItem.h"
#include "FakeNotificationCenter.h"
#include "SessionEvents.h"

#include <QPointer>

class FakeStatusItem;

// A desktop made of in-memory services: session events the test emits, a notification centre
// that records, a login item and a hot key that remember. The status items it hands out stay
// reachable through `statusItem()` while the application owns them.
class FakeDesktopServices : public DesktopServices {
public:
    FakeDesktopServices();
    ~FakeDesktopServices() override;

    SessionEvents& sessionEvents() override { return m_sessionEvents; }
    IdleTimeSource* idleTimeSource() const override { return nullptr; }
    NotificationCenter& notificationCenter() override { return m_notifications; }
    LoginItem& loginItem() override { return m_loginItem; }
    GlobalHotKey* globalHotKey() const override { return m_hotKey.get(); }
    std::unique_ptr<StatusItemBackend> createStatusItem(const QString& id, const QString& title) override;
    QString desktopNames() const override { return m_environment.desktopNames; }
    QString runningImagePath() const override { return m_environment.runningImagePath; }
    QString diskImageUtilityPath() const override { return m_environment.diskImageUtilityPath; }
    void returnFreedMemory() override { ++m_memoryReturns; }
    QStringList summary() const override { return {QStringLiteral("desktop: in-memory stand-ins")}; }

    int memoryReturns() const { return m_memoryReturns; }

    FakeNotificationCenter& fakeNotifications() { return m_notifications; }
    FakeLoginItem& fakeLoginItem() { return m_loginItem; }
    FakeGlobalHotKey& fakeHotKey() { return *m_hotKey; }
    // The newest status item handed out, null once its owner destroyed it.
    FakeStatusItem* statusItem() const;
    // Whether the status items handed out from now on find a host that shows them.
    void setStatusItemsShown(bool shown) { m_statusItemsShown = shown; }

    // What the environment would tell a real desktop's services; all empty at first.
    struct Environment {
        QString desktopNames;
        QString runningImagePath;
        QString diskImageUtilityPath;
    };
    void setEnvironment(Environment environment) { m_environment = std::move(environment); }

private:
    SessionEvents m_sessionEvents;
    FakeNotificationCenter m_notifications;
    FakeLoginItem m_loginItem;
    std::unique_ptr<FakeGlobalHotKey> m_hotKey;
    QPointer<StatusItemBackend> m_statusItem;
    bool m_statusItemsShown = true;
    int m_memoryReturns = 0;
    Environment m_environment;
};
