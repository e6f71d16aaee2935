#include "SegmentedControl.h"

#include "RoleAccessible.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

SegmentedControl::SegmentedControl(const QStringList& titles, const QStringList& spokenTitles, int width,
                                   QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    setFixedWidth(width);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int index = 0; index < titles.size(); ++index) {
        auto* segment = new QToolButton(this);
        segment->setText(titles.at(index));
        segment->setCheckable(true);
        segment->setAccessibleName(spokenTitles.value(index));
        RoleAccessible::setRole(segment, QAccessible::RadioButton);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_group->addButton(segment, index);
        row->addWidget(segment);
    }
    setCurrentIndex(0);
    // idClicked fires for user clicks (and keyboard presses) only, never for setCurrentIndex.
    connect(m_group, &QButtonGroup::idClicked, this, [this](int index) {
        if (index == m_current)
            return;
        m_current = index;
        Q_EMIT currentIndexChanged(index);
    });
}

int SegmentedControl::currentIndex() const
{
    return m_current;
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (auto* segment = m_group->button(index)) {
        segment->setChecked(true);
        m_current = index;
    }
}
