#include "ReturnPressesButtons.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

void ReturnPressesButtons::install(QWidget& window)
{
    window.installEventFilter(new ReturnPressesButtons(&window));
}

// A button that does not take Return lets the key travel up to its window, where it lands here.
bool ReturnPressesButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QAbstractButton*>(static_cast<QWidget*>(watched)->focusWidget());
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !button || !button->isEnabled())
        return false;
    button->click();
    return true;
}
