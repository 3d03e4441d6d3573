#pragma once
// Start-up of the program.

class QApplication;
class QByteArray;

// The display platform the program asks Qt for, decided from the session before the
// application is built; empty where Qt's own choice stands.
QByteArray DisplayPlatform();

// Everything the program's windows rely on before the first one is built: the embedded
// pictures and fonts, the mapping of the design's font names to them, the style and
// palette, the program's icon and name.
void PrepareApplication();

// The whole program: zeroed quiz state, the main menu, events until no form is loaded.
// Returns the exit status.
int RunTarvonix();
