#pragma once

// The icon our windows carry: the installed theme icon, else the copy built into the panel's
// executable. Set when the first window is made rather than at start, since reading it loads
// the SVG icon engine, which a counter that never opens a window does not need.
namespace WindowIcon {

// Sets the application's window icon unless it is set already; windows made before it take
// it too.
void applyToApplication();

} // namespace WindowIcon
