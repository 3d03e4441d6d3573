#pragma once
// The forms' designs give each control its font and colours as a short style sheet,
// because a design's font sizes such as 9.75 or 15.75 points cannot be written as a
// font property there. Left to the toolkit, every such control would carry a style sheet
// engine of its own and a palette of its own, which costs time when a window is built,
// at every repaint, and memory in the toolkit's caches of drawn buttons for each window
// ever opened. Applied here instead, the same declarations become the control's own font
// and palette, and the control draws exactly as the style sheet would have it drawn.

class QWidget;

namespace runtime {

// Applies the style sheets of a window and of its controls as their fonts and palettes,
// and clears them. A style sheet is applied here when each of its declarations is one of
// these: font-family, font-size in points, font-weight, font-style, and color and
// background-color as rgb(r, g, b) or #rrggbb, written bare or inside a "#name { ... }"
// block that names the control itself; later declarations win. A style sheet with
// anything else in it is left to the toolkit as it is, together with the controls inside
// its control, which it may reach.
void ApplyDesignStyles(QWidget* window);

}  // namespace runtime
