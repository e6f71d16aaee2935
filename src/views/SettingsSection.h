#pragma once

#include <QGroupBox>

class Preferences;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QSpinBox;
class QVBoxLayout;

// One titled group of the settings form. Sections show the preferences as they are stored:
// every write, from this window or elsewhere, makes each section read its keys again. The
// controls' own signals are blocked while they are refreshed, so only a user's change is ever
// written back (and announced).
class SettingsSection : public QGroupBox {
    Q_OBJECT
public:
    SettingsSection(const QString& title, Preferences& preferences, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Reads the section's preferences into its controls; called at once and after every write.
    virtual void refresh() = 0;
    // Call at the end of the subclass constructor, when the controls exist.
    void startFollowingPreferences();

    QCheckBox* addToggle(const QString& text, const QString& objectName);
    QLabel* addCaption(const QString& text, const QString& objectName, QVBoxLayout* into = nullptr);
    // A title that takes the free width and a spin box after it, appended to `row`: a stepper.
    QSpinBox* addStepper(QHBoxLayout* row, const QString& objectName, QLabel** title);
    QHBoxLayout* addRow(QVBoxLayout* into = nullptr);
    // A block of rows that is shown and hidden as one.
    QWidget* addGroup(const QString& objectName, QVBoxLayout** rows);

    QVBoxLayout* rows() const { return m_rows; }
    Preferences& preferences() const { return m_preferences; }

private:
    Preferences& m_preferences;
    QVBoxLayout* m_rows = nullptr;
};
