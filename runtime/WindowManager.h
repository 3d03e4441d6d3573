#pragma once
// What the program tells a desktop's window manager about its windows, and what it asks
// of it, beyond what Qt says on its own. Without a window manager, or on a platform other
// than X11, these do nothing.

#include <QMargins>

class QWidget;

namespace runtime::wm {

// Border styles of the design.
inline constexpr int BorderNone = 0;
inline constexpr int BorderFixedDialog = 3;

// Tells the window manager which decorations and functions a window of the border style
// has: none, and neither move nor resize, for a borderless window; a title bar with its
// caption and close box that moves but neither resizes, minimises nor maximises, for a
// fixed dialog. The window must have its native window; call before it is first shown.
void AnnounceBorderStyle(const QWidget* window, int borderStyle);

// The frame that the window manager will put round the window once it is shown: left,
// top (the title bar), right and bottom, in the window's pixels. Asked before the window
// is mapped, so that the window can be placed by its outer size at once. Zero margins
// where there is no window manager or it does not say.
QMargins RequestFrameExtents(const QWidget* window);

}  // namespace runtime::wm
