#pragma once
// The forms' designs give each control its font and colours as style sheet declarations
// in a property of its own, designStyle, because a design's font sizes such as 9.75 or
// 15.75 points cannot be written as a font property there. Given to the toolkit as style
// sheets, they would start its style sheet engine for every control: time and memory
// before the first frame, at every repaint, and in the toolkit's caches of drawn buttons
// for each window ever opened. Applied here, the same declarations become each control's
// own font and palette, and the control draws exactly as the style sheet would have it
// drawn.

class QWidget;

namespace runtime {

// The name of the property that holds a control's design style.
inline constexpr char DesignStyleProperty[] = "designStyle";

// Applies the design styles of a window and of its controls as their fonts and palettes.
// A design style is applied here when each of its declarations is one of these:
// font-family, font-size in points, font-weight, font-style, and color and
// background-color as rgb(r, g, b) or #rrggbb (a background only on frames and labels),
// written bare or inside a "#name { ... }" block that names the control itself; later
// declarations win. Any other design style becomes the control's style sheet, for the
// toolkit to draw.
void ApplyDesignStyles(QWidget* window);

}  // namespace runtime
