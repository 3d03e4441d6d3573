#pragma once
// The system's default sound.

namespace runtime {

void Beep();
// How many beeps have sounded since the program started; tests count them.
int BeepCount();

}  // namespace runtime
