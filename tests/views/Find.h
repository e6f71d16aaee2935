#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

// The descendant of `parent` with this object name; a failure of the test when there is none.
template <typename T = QWidget>
T* find(const QObject& parent, const QString& name)
{
    auto* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << "no " << name.toStdString();
    return child;
}
