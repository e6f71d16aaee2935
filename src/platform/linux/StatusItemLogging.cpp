#include "StatusItemLogging.h"

Q_LOGGING_CATEGORY(lcStatusItem, "com.brightlet.Lumatick.StatusItem", QtInfoMsg)
