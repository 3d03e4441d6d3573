#pragma once
// The fonts the program draws with, built into the executable.

class QString;

namespace runtime {

// Makes the font files of a resource folder (such as ":/fonts") the only fonts the
// program draws with. Call it once, before anything draws or measures text.
//
// The toolkit's font configuration then holds these fonts and nothing else: the system's
// configuration is neither read nor searched, so the first window does not wait for it,
// and every machine draws the program's texts with the same faces, whatever fonts of the
// same names it has installed. A font stored uncompressed is read in place from the
// executable: the toolkit keeps a font's bytes for the life of the program, and a copy
// would be resident memory for nothing.
//
// The fonts are registered on a thread of their own, while the program goes on to build
// its first window, which needs no font until it is drawn. Nothing may draw or measure
// text before WaitForEmbeddedFonts has returned.
void UseEmbeddedFonts(const QString& folder);

// Returns once the embedded fonts are registered; at once if they are, or if none were
// asked for. Showing a form waits for them, and so does the report of a runtime error.
void WaitForEmbeddedFonts();

}  // namespace runtime
