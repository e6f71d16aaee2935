#pragma once

#include <QToolButton>

// A swatch of one colour that opens the colour dialog, opacity included, when clicked. The
// swatch shows transparency over a checkerboard so a see-through choice is visible as such.
class ColorWell : public QToolButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    // Shows a colour without announcing it, for reading the stored choice.
    void setColor(const QColor& color);
    // What the dialog does on a choice: show it and announce it.
    void choose(const QColor& color);

Q_SIGNALS:
    void colorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openDialog();

    QColor m_color;
};
