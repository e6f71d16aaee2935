#pragma once

#include <QPixmap>
#include <QScrollArea>

// The third tab: more ways to use Lumatick beyond the panel, and how to report a problem. Each
// row has a symbol, a name, a one-line description and the command to run, which can be
// selected and copied.
class MoreAppsPage : public QScrollArea {
    Q_OBJECT
public:
    explicit MoreAppsPage(QWidget* parent = nullptr);

private:
    QWidget* makeRow(const QPixmap& symbol, const QString& name, const QString& description,
                     const QString& command, QWidget* parent);
};
