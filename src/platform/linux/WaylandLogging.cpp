#include "WaylandLogging.h"

Q_LOGGING_CATEGORY(lcWayland, "com.brightlet.Lumatick.Wayland", QtInfoMsg)
