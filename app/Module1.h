#pragma once
// The quiz state: one for the whole program, shared by every level window, read and
// written directly by the handlers. All 0 when the program starts.

#include "runtime/FixedArray.h"
#include "runtime/Integer.h"

using runtime::Integer;

// Position in QuestionOrder of the question on show: 0 before the first question of a
// pass, 1 to 200 while it runs, above 200 once the level is completed.
inline Integer QuestionNo;
// Right answers given in the current pass.
inline Integer Marks;
// Number of the correct option of the question last shown, by any level window.
inline Integer CorrectOption;
// The shuffle's candidate question number, 1 to 200.
inline Integer RandomNo;
// The shuffle's position under comparison in its duplicate check.
inline Integer ScanNo;
// The shuffled order of the pass: position p holds the number of the question shown p-th.
// Position 0 is never used.
inline runtime::FixedArray<Integer, 0, 200> QuestionOrder;
