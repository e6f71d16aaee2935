#include "RoleAccessible.h"

#include <QAbstractButton>
#include <QVariant>

namespace {

constexpr char roleProperty[] = "lumatickAccessibleRole";

QAccessibleInterface* roleFactory(const QString& /*className*/, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(roleProperty);
    if (!role.isValid())
        return nullptr;
    return new RoleAccessible(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

RoleAccessible::RoleAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{}

void RoleAccessible::setRole(QWidget* widget, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(roleProperty, static_cast<int>(role));
    // Qt keeps the first interface made for a widget, which an event during its construction
    // (a new name, a new state) may already have made: dropped, the next one has the role.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

// A button is named by its title unless it has a name of its own; Qt's widget default would
// take the caption of the row it stands in.
QString RoleAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && button() && widget()->accessibleName().isEmpty())
        return button()->text();
    return QAccessibleWidget::text(kind);
}

QAccessible::State RoleAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (const QAbstractButton* pressable = button()) {
        state.checkable = pressable->isCheckable();
        state.checked = pressable->isChecked();
        state.pressed = pressable->isDown();
    }
    return state;
}

QStringList RoleAccessible::actionNames() const
{
    if (!button())
        return QAccessibleWidget::actionNames();
    return {button()->isCheckable() ? toggleAction() : pressAction()};
}

void RoleAccessible::doAction(const QString& actionName)
{
    if (button() && (actionName == pressAction() || actionName == toggleAction()))
        button()->click();
    else
        QAccessibleWidget::doAction(actionName);
}

QAbstractButton* RoleAccessible::button() const
{
    return qobject_cast<QAbstractButton*>(widget());
}
