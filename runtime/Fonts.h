#pragma once
// The fonts the program draws with, built into the executable.

class QString;

namespace runtime {

// Registers every font file of a resource folder (such as ":/fonts") with the toolkit.
// A font stored uncompressed is read in place from the executable: the toolkit keeps a
// font's bytes for the life of the program, and a copy would be resident for nothing.
void AddEmbeddedFonts(const QString& folder);

}  // namespace runtime
