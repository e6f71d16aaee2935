#pragma once

#include "IdleTimeSource.h"

class XcbConnection;

// Idle time from the X server's screen saver extension, which counts from the last input on
// any device of the display. Absent under Xwayland, so probe before use.
class XcbIdleTimeSource : public IdleTimeSource {
public:
    // The connection must outlive this source.
    explicit XcbIdleTimeSource(XcbConnection& connection);

    // Whether the display offers the screen saver extension.
    static bool isAvailable(const XcbConnection& connection);

    std::optional<double> secondsSinceLastInput() override;
    QString name() const override;

private:
    XcbConnection& m_connection;
};
