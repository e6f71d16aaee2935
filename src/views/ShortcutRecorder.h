#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QKeyEvent;

// Records one key combination from the keyboard. While recording, every key press of the
// application comes here and goes no further, so typing in a window does nothing else:
// Escape cancels, a press with control, Alt or Super (shift alone is not enough) is taken,
// anything else is ignored and recording goes on.
class ShortcutRecorder : public QObject {
    Q_OBJECT
public:
    struct Shortcut {
        qint64 keyCode = -1;  // the platform's native key code of the key
        qint64 modifiers = 0; // the stored modifier bits, shift included when held
        QString keyChar;      // what the key types, upper-cased; empty for none
    };

    using QObject::QObject;
    ~ShortcutRecorder() override;

    bool isRecording() const { return m_recording; }
    void start();
    // Safe to call when not recording.
    void stop();

    // The shortcut a key press would record, or nothing when it does not qualify.
    static std::optional<Shortcut> shortcutFor(const QKeyEvent& event);

Q_SIGNALS:
    void recordingChanged(bool recording);
    // Emitted after recording has stopped.
    void recorded(const ShortcutRecorder::Shortcut& shortcut);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handleKeyPress(const QKeyEvent& event);
    static bool isModifierKey(int key);
    static QString keyCharacters(int key);

    bool m_recording = false;
};
