#pragma once
// The fonts the program draws with, built into the executable.

class QString;

namespace runtime {

// Makes the font files of a resource folder (such as ":/fonts") the only fonts the
// program draws with. Call it before anything draws or measures text.
//
// The toolkit's font configuration then holds these fonts and nothing else: the system's
// configuration is neither read nor searched, so the first window does not wait for it,
// and every machine draws the program's texts with the same faces, whatever fonts of the
// same names it has installed. A font stored uncompressed is read in place from the
// executable: the toolkit keeps a font's bytes for the life of the program, and a copy
// would be resident memory for nothing.
void UseEmbeddedFonts(const QString& folder);

}  // namespace runtime
