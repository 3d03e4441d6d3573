#include "Numbers.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

namespace runtime {

namespace {

std::mt19937& Generator() {
    static std::mt19937 generator{0x7a72u};
    return generator;
}

std::function<Single()>& Substitute() {
    static std::function<Single()> substitute;
    return substitute;
}

}  // namespace

void Randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    Generator().seed(static_cast<std::mt19937::result_type>(ticks ^ (ticks >> 32)));
}

Single Rnd() {
    if (Substitute()) return Substitute()();
    // 24 random bits scaled by 2^-24: every value is exact in a single and the largest
    // is 1 - 2^-24, so the result never rounds up to 1.
    const auto bits = Generator()() >> 8;
    return static_cast<Single>(bits) * 0x1p-24f;
}

Integer Int(double x) {
    if (!std::isfinite(x)) Raise(ErrorCode::Overflow);
    const double floored = std::floor(x);
    if (floored < Integer::Min || floored > Integer::Max) Raise(ErrorCode::Overflow);
    return Integer(static_cast<int>(floored));
}

Single ToSingle(double x) {
    if (!std::isfinite(x) || std::fabs(x) > std::numeric_limits<Single>::max()) Raise(ErrorCode::Overflow);
    return static_cast<Single>(x);
}

void SubstituteRandomSequence(std::function<Single()> next) { Substitute() = std::move(next); }

}  // namespace runtime
