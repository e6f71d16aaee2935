#pragma once

#include <QLoggingCategory>

// The Wayland desktop services (idle notifications) log under this category.
Q_DECLARE_LOGGING_CATEGORY(lcWayland)
