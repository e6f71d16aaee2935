#include "SessionLogging.h"

Q_LOGGING_CATEGORY(lcDesktopSession, "com.brightlet.Lumatick.Session", QtInfoMsg)
