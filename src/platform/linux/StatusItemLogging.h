#pragma once

#include <QLoggingCategory>

// The status item's bus traffic (registration with the watcher, host availability) logs under
// this category.
Q_DECLARE_LOGGING_CATEGORY(lcStatusItem)
