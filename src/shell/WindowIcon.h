#pragma once

// The icon our windows carry, built into the panel's executable rather than looked up in the
// icon theme, whose files only an image reader reads. Set when the first window is made rather
// than at start: a counter that never opens a window does not need it.
namespace WindowIcon {

// Sets the application's window icon unless it is set already; windows made before it take
// it too.
void applyToApplication();

} // namespace WindowIcon
