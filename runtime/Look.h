#pragma once
// The program's fixed look: the Fusion style with its standard palette, on every desktop.

class QPalette;

namespace runtime {

// Sets the application's style and palette, whatever the desktop's theme. Call it once
// at start-up, before the first window is built.
void UseFixedLook();

// The palette a button's face is drawn with. Fusion keeps every button face it draws in
// the toolkit's pixmap cache, under a key of the face's state, size and palette. Each
// control holds its own copy of the application palette, and each copy counts as a
// palette of its own there, so every button of every window ever built would add faces
// of its own to the cache: faces that are never found again once the window is closed,
// and that fill the cache in long play. A button whose colours are the application's is
// drawn with the application palette itself, so its faces are drawn once and every
// window finds them; a button with colours of its own keeps its palette.
QPalette FacePalette(const QPalette& button);

}  // namespace runtime
