#include "WindowCoordinator.h"

#include "HistoryView.h"
#include "HistoryViewModel.h"
#include "OnboardingView.h"
#include "RoleAccessible.h"
#include "SettingsView.h"
#include "WindowIcon.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPixmapCache>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace {
void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

// Shown, raised and given the focus, with the application brought to the front.
void bringToFront(QWidget& window)
{
    WindowIcon::applyToApplication();
    window.show();
    window.raise();
    window.activateWindow();
}
} // namespace

WindowCoordinator::WindowCoordinator(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
{}

WindowCoordinator::~WindowCoordinator() = default;

void WindowCoordinator::openSettings()
{
    if (!m_settingsWindow)
        buildSettings();
    m_settingsWindow->setDesktop(m_services.desktop());
    bringToFront(*m_settingsWindow);
}

void WindowCoordinator::buildSettings()
{
    m_settingsWindow = std::make_unique<SettingsView>(
        m_services.preferences, m_services.inProcessNotifications, m_services.notificationCenter,
        m_services.loginItem, m_services.updates, m_services.version);
    m_settingsWindow->setWindowTitle(QString::fromLatin1(settingsTitle));
    m_settingsWindow->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_settingsWindow->setFixedSize(SettingsView::contentSize);
    RoleAccessible::setRole(m_settingsWindow.get(), QAccessible::Window);
    centreOnScreen(*m_settingsWindow);
    if (m_settingsGeometry.isValid())
        m_settingsWindow->setGeometry(m_settingsGeometry);
    m_settingsWindow->selectTab(m_settingsTab);
    m_settingsWindow->installEventFilter(this);
}

void WindowCoordinator::refreshSettingsDesktop()
{
    if (m_settingsWindow)
        m_settingsWindow->setDesktop(m_services.desktop());
}

void WindowCoordinator::openHistory()
{
    if (!m_historyWindow) {
        m_historyWindow = std::make_unique<QWidget>();
        m_historyWindow->setWindowTitle(QString::fromLatin1(historyTitle));
        // A window to screen readers, which otherwise see a plain widget and announce no frame.
        RoleAccessible::setRole(m_historyWindow.get(), QAccessible::Window);
        new QVBoxLayout(m_historyWindow.get());
        m_historyWindow->layout()->setContentsMargins(0, 0, 0, 0);
        m_historyWindow->setMinimumSize(HistoryView::minimumWindowSize);
        m_historyWindow->resize(HistoryView::defaultWindowSize);
        centreOnScreen(*m_historyWindow);
        if (m_historyGeometry.isValid())
            m_historyWindow->setGeometry(m_historyGeometry);
        m_historyWindow->installEventFilter(this);
    }
    buildHistoryContent();
    bringToFront(*m_historyWindow);
}

// Each opening gets a new model and view, so the ranges are back at their defaults and the
// data are read again; the window keeps its place and size.
void WindowCoordinator::buildHistoryContent()
{
    delete m_historyView;
    m_historyModel =
        std::make_unique<HistoryViewModel>(m_services.store, m_services.preferences, m_services.clock);
    m_historyModel->setSharedTotals(m_services.sharedTotals);
    m_historyView = new HistoryView(*m_historyModel, m_services.preferences, m_historyWindow.get());
    m_historyWindow->layout()->addWidget(m_historyView);
}

bool WindowCoordinator::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    if (watched == m_historyWindow.get())
        m_historyGeometry = m_historyWindow->geometry();
    if (watched == m_settingsWindow.get()) {
        m_settingsGeometry = m_settingsWindow->geometry();
        m_settingsTab = m_settingsWindow->selectedTab();
    }
    // After the close has finished; the window may be open again by then.
    QTimer::singleShot(0, this, &WindowCoordinator::releaseClosedWindows);
    return QObject::eventFilter(watched, event);
}

// Not while a dialog of ours runs its own event loop: it may belong to the closed window.
void WindowCoordinator::releaseClosedWindows()
{
    const auto closed = [](const QWidget* window) { return window && !window->isVisible(); };
    if (QApplication::activeModalWidget())
        return;
    const bool history = closed(m_historyWindow.get());
    const bool settings = closed(m_settingsWindow.get());
    if (history) {
        m_historyWindow.reset();
        m_historyModel.reset();
    }
    if (settings)
        m_settingsWindow.reset();
    // Icons and style pieces drawn for the windows are drawn again when needed.
    if (history || settings) {
        QPixmapCache::clear();
        m_services.returnFreedMemory();
    }
}

void WindowCoordinator::showOnboarding(std::function<void()> onComplete)
{
    m_onboardingWindow = std::make_unique<OnboardingView>(m_services.preferences, std::move(onComplete));
    OnboardingView::configureWindow(*m_onboardingWindow);
    bringToFront(*m_onboardingWindow);
}

// Deferred, because the onboarding's own button calls this while it is still on the stack.
void WindowCoordinator::closeOnboarding()
{
    if (!m_onboardingWindow)
        return;
    m_onboardingWindow->close();
    m_onboardingWindow.release()->deleteLater();
}

QWidget* WindowCoordinator::settingsWindow() const
{
    return m_settingsWindow.get();
}

QWidget* WindowCoordinator::historyWindow() const
{
    return m_historyWindow.get();
}

QWidget* WindowCoordinator::onboardingWindow() const
{
    return m_onboardingWindow.get();
}
