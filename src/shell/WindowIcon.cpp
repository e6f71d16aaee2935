#include "WindowIcon.h"

#include "ApplicationIdentity.h"

#include <QGuiApplication>
#include <QIcon>

void WindowIcon::applyToApplication()
{
    if (!QGuiApplication::windowIcon().isNull())
        return;
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(ApplicationIdentity::iconName, QIcon(QStringLiteral(":/icons/lumatick.svg"))));
}
