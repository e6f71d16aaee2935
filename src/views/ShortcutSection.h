#pragma once

#include "SettingsSection.h"
#include "ShortcutRecorder.h"

class InProcessNotificationCenter;
class QPushButton;
class QToolButton;

// "Pause/Resume Shortcut": the button that records the global shortcut, the button that
// clears it, and the hint. Both a recorded and a cleared shortcut are announced, so the
// global hot key is registered again at once.
class ShortcutSection : public SettingsSection {
    Q_OBJECT
public:
    ShortcutSection(Preferences& preferences, InProcessNotificationCenter& notifications,
                    QWidget* parent = nullptr);

    bool isRecording() const { return m_recorder.isRecording(); }
    void stopRecording() { m_recorder.stop(); }
    // Where the desktop cannot bind system-wide keys, says so next to the recorder.
    void setWorksSystemWide(bool works);

protected:
    void refresh() override;

private:
    void buildRecordButton(QHBoxLayout* row);
    void buildClearButton(QHBoxLayout* row);
    void toggleRecording();
    void store(const ShortcutRecorder::Shortcut& shortcut);

    InProcessNotificationCenter& m_notifications;
    ShortcutRecorder m_recorder;
    QPushButton* m_record = nullptr;
    QLabel* m_recordLabel = nullptr;
    QToolButton* m_clear = nullptr;
    QLabel* m_inAppOnly = nullptr;
};
