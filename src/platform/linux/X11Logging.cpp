#include "X11Logging.h"

Q_LOGGING_CATEGORY(lcX11, "com.brightlet.Lumatick.X11", QtInfoMsg)
