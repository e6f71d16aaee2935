#include "Logging.h"

Q_LOGGING_CATEGORY(lcScreenTime, "com.brightlet.Lumatick.ScreenTime", QtInfoMsg)
