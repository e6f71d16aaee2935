#include "ShortcutKeyMonitor.h"

#include "ShortcutModifiers.h"

#include <QCoreApplication>
#include <QKeyEvent>

ShortcutKeyMonitor::ShortcutKeyMonitor(int keyCode, qint64 modifiers, QObject* parent)
    : QObject(parent)
    , m_keyCode(static_cast<quint32>(keyCode))
    , m_modifiers(modifiers)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ShortcutKeyMonitor::~ShortcutKeyMonitor()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool ShortcutKeyMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const qint64 flags =
        ShortcutModifiers::fromKeyboardModifiers(key->modifiers()) & ShortcutModifiers::deviceIndependentMask;
    if (key->nativeScanCode() != m_keyCode || flags != m_modifiers)
        return false;
    Q_EMIT triggered();
    return true;
}
