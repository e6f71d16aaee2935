#include "SettingsView.h"

#include "AboutPage.h"
#include "GeneralSection.h"
#include "MoreAppsPage.h"
#include "NotificationCenter.h"
#include "NotificationSection.h"
#include "Preferences.h"
#include "ReturnPressesButtons.h"
#include "SettingsForm.h"
#include "SettingsTabButton.h"
#include "ShortcutSection.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

struct TabEntry {
    SettingsView::Tab id;
    const char* label;
    SettingsSymbol::Symbol symbol;
};

constexpr std::array tabEntries{
    TabEntry{SettingsView::settingsTab, "Settings", SettingsSymbol::Symbol::gear},
    TabEntry{SettingsView::aboutTab, "About", SettingsSymbol::Symbol::info},
    TabEntry{SettingsView::moreAppsTab, "More Brightlet", SettingsSymbol::Symbol::grid},
};

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

} // namespace

SettingsView::SettingsView(Preferences& preferences, InProcessNotificationCenter& inProcessNotifications,
                           NotificationCenter& notificationCenter, LoginItem& loginItem,
                           UpdateControls& updates, const QString& version, QWidget* parent)
    : QWidget(parent)
    , m_notificationCenter(notificationCenter)
{
    setObjectName(QStringLiteral("settingsView"));
    setFixedSize(contentSize);
    ReturnPressesButtons::install(*this);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(buildTabBar());
    stack->addWidget(divider(this));
    m_pages = new QStackedWidget(this);
    m_form = new SettingsForm(preferences, inProcessNotifications, loginItem, m_pages);
    m_pages->insertWidget(settingsTab, m_form);
    m_pages->insertWidget(aboutTab, new AboutPage(version, updates, preferences.filePath(), m_pages));
    m_pages->insertWidget(moreAppsTab, new MoreAppsPage(m_pages));
    stack->addWidget(m_pages, 1);
    selectTab(settingsTab);
}

QWidget* SettingsView::buildTabBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("settingsTabBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(2);
    m_tabs = new QButtonGroup(this);
    m_tabs->setExclusive(true);
    for (const TabEntry& entry : tabEntries) {
        auto* button = new SettingsTabButton(QString::fromLatin1(entry.label), entry.symbol, bar);
        button->setObjectName(QStringLiteral("tab%1").arg(entry.id));
        m_tabs->addButton(button, entry.id);
        row->addWidget(button, 1);
    }
    connect(m_tabs, &QButtonGroup::idClicked, this, &SettingsView::selectTab);
    return bar;
}

void SettingsView::setDesktop(const SettingsDesktop& desktop)
{
    m_form->notificationSection().setDesktopNames(desktop.desktopNames);
    m_form->shortcutSection().setWorksSystemWide(desktop.shortcutWorksSystemWide);
    m_form->generalSection().setSharedTotals(desktop.sharedTotals);
}

int SettingsView::selectedTab() const
{
    return m_pages->currentIndex();
}

void SettingsView::selectTab(int tab)
{
    QAbstractButton* button = m_tabs->button(tab);
    if (!button)
        return;
    button->setChecked(true);
    m_pages->setCurrentIndex(tab);
}

void SettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    askWhetherNotificationsAllowed();
    m_form->generalSection().syncLaunchAtLogin();
}

void SettingsView::hideEvent(QHideEvent* event)
{
    m_form->shortcutSection().stopRecording();
    QWidget::hideEvent(event);
}

// The answer may come later; by then the window may be gone. Only "authorized" allows the
// summary controls: denied and never asked both show the way to the desktop's settings.
void SettingsView::askWhetherNotificationsAllowed()
{
    QPointer<SettingsView> self(this);
    m_notificationCenter.authorizationStatus([self](NotificationCenter::AuthorizationStatus status) {
        if (self)
            self->m_form->notificationSection().setNotificationsAllowed(
                status == NotificationCenter::AuthorizationStatus::authorized);
    });
}
