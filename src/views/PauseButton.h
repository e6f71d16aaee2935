#pragma once

#include <QAbstractButton>

class QLabel;

// The panel's pause/resume control: symbol and title on the left, the shortcut hint on the
// right, clickable over its whole width and drawn without a bezel.
class PauseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PauseButton(QWidget* parent = nullptr);

    void setPaused(bool paused);
    // An empty hint hides it, leaving only the symbol and the title. The spoken form names the
    // keys in words for screen readers, which say nothing for the modifier symbols.
    void setShortcutHint(const QString& hint, const QString& spokenHint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLabel* addLabel(const QString& objectName);
    void applyColours();

    QLabel* m_symbol = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_hint = nullptr;
    bool m_paused = false;
};
