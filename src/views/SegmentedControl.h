#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;

// A row of joined, mutually exclusive buttons of one fixed total width: the picker of the
// history headers. Exactly one segment is selected at any time; screen readers hear radio
// buttons, one Tab stop for the row, arrows to move along it.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    // spokenTitles name the segments for screen readers where the short titles read badly.
    SegmentedControl(const QStringList& titles, const QStringList& spokenTitles, int width,
                     QWidget* parent = nullptr);

    int currentIndex() const;
    // Selects without announcing: the owner already knows what it set.
    void setCurrentIndex(int index);

Q_SIGNALS:
    // Only for a selection the user makes, and only when it differs from the previous one.
    void currentIndexChanged(int index);

private:
    QButtonGroup* m_group;
    int m_current = -1;
};
