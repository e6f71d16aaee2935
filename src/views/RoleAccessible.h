#pragma once

#include <QAccessibleWidget>

class QAbstractButton;

// Gives a widget the role its use calls for where Qt's guess is wrong for a screen reader: the
// panel is a dialog, not a pane; the mini chart a chart; a settings tab a page tab and a segment
// of a picker a radio button, where Qt calls both check boxes. Buttons keep their title as name,
// tell their checked state, and are clicked by a screen reader's press or toggle as by a user.
class RoleAccessible : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* widget, QAccessible::Role role);

    // Gives `widget` this role from now on; the factory behind it is registered once per process.
    static void setRole(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QAbstractButton* button() const;
};
