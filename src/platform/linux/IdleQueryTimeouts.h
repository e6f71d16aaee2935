#pragma once

// How long the idle-time sources wait for a D-Bus answer. The tick asks on the main thread
// once a second, so its wait must stay short enough not to stall the interface; start-up
// probing may wait longer for a service that is still coming up. The Wayland sources wait for
// nothing: they are taken up whenever their compositor answers.
struct IdleQueryTimeouts {
    static constexpr int tickMs = 100;
    static constexpr int probeMs = 500;
};
