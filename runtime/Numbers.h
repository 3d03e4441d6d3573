#pragma once
// Random numbers, the integer part, and single-precision checks.

#include "Integer.h"

#include <functional>

namespace runtime {

using Single = float;

// Reseeds the generator from the system clock.
void Randomize();

// The next value r of the sequence, a single with 0 <= r < 1.
Single Rnd();

// Floor of x as an Integer; raises the overflow error when it does not fit.
Integer Int(double x);

// Stores a double as a single; raises the overflow error for a value a single cannot
// hold (infinite, not a number, or beyond the single range).
Single ToSingle(double x);

// Tests replace the generator's sequence with their own; an empty function restores it.
// The substitute's values are taken as they are, so a test can feed 0 or the largest
// single below 1.
void SubstituteRandomSequence(std::function<Single()> next);

}  // namespace runtime
