#include "DesktopDBusLogging.h"

Q_LOGGING_CATEGORY(lcDesktopDBus, "com.brightlet.Lumatick.DesktopDBus", QtInfoMsg)
