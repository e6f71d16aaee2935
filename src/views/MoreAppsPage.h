#pragma once

#include <QScrollArea>

// The third tab: a scrolling list of the maker's other utilities, each with a symbol, a name,
// a one-line description and a link. Until they are published it holds one placeholder row
// that says so.
class MoreAppsPage : public QScrollArea {
    Q_OBJECT
public:
    explicit MoreAppsPage(QWidget* parent = nullptr);

private:
    QWidget* makeRow(const QString& name, const QString& description, const QString& linkText,
                     QWidget* parent);
};
