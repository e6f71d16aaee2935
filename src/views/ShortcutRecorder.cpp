#include "ShortcutRecorder.h"

#include "ShortcutModifiers.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

// Only the filter is removed: whoever listens may already be half destroyed.
ShortcutRecorder::~ShortcutRecorder()
{
    if (m_recording && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void ShortcutRecorder::start()
{
    if (m_recording)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    m_recording = true;
    Q_EMIT recordingChanged(true);
}

void ShortcutRecorder::stop()
{
    if (!m_recording)
        return;
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    m_recording = false;
    Q_EMIT recordingChanged(false);
}

bool ShortcutRecorder::eventFilter(QObject* /*watched*/, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepting the override keeps the application's own shortcuts from firing, so the
        // press arrives here as an ordinary key press.
        event->accept();
        return true;
    case QEvent::KeyPress:
        handleKeyPress(*static_cast<QKeyEvent*>(event));
        return true;
    default:
        return false;
    }
}

void ShortcutRecorder::handleKeyPress(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Escape) {
        stop();
        return;
    }
    const std::optional<Shortcut> shortcut = shortcutFor(event);
    if (!shortcut)
        return;
    stop();
    Q_EMIT recorded(*shortcut);
}

std::optional<ShortcutRecorder::Shortcut> ShortcutRecorder::shortcutFor(const QKeyEvent& event)
{
    // Holding a modifier down on its own reports a press of that modifier; only a press of
    // another key with it makes a combination.
    if (isModifierKey(event.key()))
        return std::nullopt;
    const qint64 modifiers = ShortcutModifiers::fromKeyboardModifiers(event.modifiers()) &
                             ShortcutModifiers::deviceIndependentMask;
    if (!ShortcutModifiers::qualifiesAsShortcut(modifiers))
        return std::nullopt;
    return Shortcut{static_cast<qint64>(event.nativeScanCode()), modifiers, keyCharacters(event.key())};
}

bool ShortcutRecorder::isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

// The text of a key press with control held is a control character, so the character is
// taken from the key itself: printable keys give their character, named keys (F5, Left) their
// portable name.
QString ShortcutRecorder::keyCharacters(int key)
{
    if (key == 0 || key == Qt::Key_unknown)
        return {};
    if (key < Qt::Key_Escape) {
        const auto codePoint = static_cast<char32_t>(key);
        return QString::fromUcs4(&codePoint, 1).toUpper();
    }
    return QKeySequence(key).toString(QKeySequence::PortableText);
}
