#pragma once

#include "SettingsSymbol.h"

#include <QAbstractButton>

// One entry of the settings window's tab bar: a symbol over a small title. The selected tab is
// filled with the accent colour and drawn in white, the others in the secondary text colour
// on nothing.
class SettingsTabButton : public QAbstractButton {
    Q_OBJECT
public:
    SettingsTabButton(const QString& title, SettingsSymbol::Symbol symbol, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor foreground() const;

    SettingsSymbol::Symbol m_symbol;
};
