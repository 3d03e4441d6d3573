#include "app/Program.h"

// The executable's version record.
extern "C" {
__attribute__((used, section(".tarvonix_version"))) const char TarvonixVersionRecord[] =
    "FileVersion=1.0.0.0\n"
    "ProductVersion=1.0.0.0\n"
    "Comments=quiz program\n"
    "FileDescription=32 bit application\n";
}

int main() { return RunTarvonix(); }
