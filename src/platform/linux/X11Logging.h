#pragma once

#include <QLoggingCategory>

// The X11 desktop services (idle time, display sleep, global shortcut) log under this category.
Q_DECLARE_LOGGING_CATEGORY(lcX11)
