#pragma once

#include <QAbstractButton>

// The small round close control in the corner of the frameless first-run window, which has no
// title bar of its own.
class OnboardingCloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit OnboardingCloseButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hovered = false;
};
