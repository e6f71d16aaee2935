#include "FakeDesktopServices.h"

#include "FakeStatusItem.h"

FakeDesktopServices::FakeDesktopServices()
    : m_hotKey(std::make_unique<FakeGlobalHotKey>())
{}

FakeDesktopServices::~FakeDesktopServices() = default;

std::unique_ptr<StatusItemBackend> FakeDesktopServices::createStatusItem(const QString&, const QString&)
{
    auto item = std::make_unique<FakeStatusItem>();
    item->setShown(m_statusItemsShown);
    m_statusItem = item.get();
    return item;
}

FakeStatusItem* FakeDesktopServices::statusItem() const
{
    return qobject_cast<FakeStatusItem*>(m_statusItem.data());
}
