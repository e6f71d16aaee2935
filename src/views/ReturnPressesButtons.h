#pragma once

#include <QObject>

class QWidget;

// Return and Enter press the focused button of a window, as Space does: keyboard and screen
// reader users expect either key to work, and Qt gives Return to a button only inside dialogs.
class ReturnPressesButtons : public QObject {
    Q_OBJECT
public:
    // Owned by `window`, whose keys it watches from then on.
    static void install(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
