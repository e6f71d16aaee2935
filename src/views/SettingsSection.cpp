#include "SettingsSection.h"

#include "PanelStyle.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>

SettingsSection::SettingsSection(const QString& title, Preferences& preferences, QWidget* parent)
    : QGroupBox(title, parent)
    , m_preferences(preferences)
{
    m_rows = new QVBoxLayout(this);
    m_rows->setSpacing(6);
    m_rows->setContentsMargins(10, 8, 10, 10);
}

// The frame is drawn here, in the look of the Fusion style's: that style draws it from a bitmap,
// and Qt's first bitmap read loads every image format plugin (the SVG one with Qt's SVG library),
// which would stay with the counter long after its settings window closed.
void SettingsSection::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Below the title, as the style places it: the taller of a check mark and a line of text,
    // and a small gap.
    constexpr int titleGap = 3;
    const int titleHeight = std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this),
                                     option.fontMetrics.height());
    const QRectF frame = QRectF(rect()).adjusted(1.5, titleHeight + titleGap + 1.5, -0.5, -0.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(117, 117, 117, 50));
    painter.setBrush(QColor(0, 0, 0, 3));
    painter.drawRoundedRect(frame, 2, 2);
    // A faint shade along the inside of the border.
    painter.setPen(QColor(0, 0, 0, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 1, 1);
    painter.restore();
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void SettingsSection::startFollowingPreferences()
{
    connect(&m_preferences, &Preferences::changed, this, &SettingsSection::refresh);
    refresh();
}

QCheckBox* SettingsSection::addToggle(const QString& text, const QString& objectName)
{
    auto* toggle = new QCheckBox(text, this);
    toggle->setObjectName(objectName);
    m_rows->addWidget(toggle);
    return toggle;
}

QLabel* SettingsSection::addCaption(const QString& text, const QString& objectName, QVBoxLayout* into)
{
    auto* caption = new QLabel(text, this);
    caption->setObjectName(objectName);
    caption->setWordWrap(true);
    caption->setFont(PanelStyle::captionFont());
    PanelStyle::setTextColor(caption, PanelStyle::secondary(palette()));
    (into ? into : m_rows)->addWidget(caption);
    return caption;
}

QSpinBox* SettingsSection::addStepper(QHBoxLayout* row, const QString& objectName, QLabel** title)
{
    *title = new QLabel(this);
    (*title)->setObjectName(objectName + QStringLiteral("Title"));
    auto* stepper = new QSpinBox(this);
    stepper->setObjectName(objectName);
    // Typing a number writes once, on Return or when the field loses focus, not per digit.
    stepper->setKeyboardTracking(false);
    // Screen readers name the stepper by its title, which carries the value and its unit.
    (*title)->setBuddy(stepper);
    row->addWidget(*title, 1);
    row->addWidget(stepper);
    return stepper;
}

QHBoxLayout* SettingsSection::addRow(QVBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    (into ? into : m_rows)->addLayout(row);
    return row;
}

QWidget* SettingsSection::addGroup(const QString& objectName, QVBoxLayout** rows)
{
    auto* group = new QWidget(this);
    group->setObjectName(objectName);
    *rows = new QVBoxLayout(group);
    (*rows)->setContentsMargins(0, 0, 0, 0);
    (*rows)->setSpacing(6);
    m_rows->addWidget(group);
    return group;
}
