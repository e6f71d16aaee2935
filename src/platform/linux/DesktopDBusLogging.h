#pragma once

#include <QLoggingCategory>

// The desktop services reached over the session bus (GNOME's display configuration, the
// global shortcuts portal) log under this category.
Q_DECLARE_LOGGING_CATEGORY(lcDesktopDBus)
