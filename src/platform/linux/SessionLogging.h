#pragma once

#include <QLoggingCategory>

// Log lines of the Linux session services: which idle-time source is used, and which of
// logind and the screen savers could not be reached.
Q_DECLARE_LOGGING_CATEGORY(lcDesktopSession)
