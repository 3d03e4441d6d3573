#pragma once
// A 16-bit signed integer whose arithmetic and conversions are overflow-tested:
// a value outside -32768..32767 raises the runtime's overflow error instead of wrapping.

#include "Error.h"

#include <QString>
#include <cstdint>
#include <limits>

namespace runtime {

class Integer {
public:
    static constexpr int Min = std::numeric_limits<std::int16_t>::min();
    static constexpr int Max = std::numeric_limits<std::int16_t>::max();

    constexpr Integer() noexcept = default;
    // Implicit from int so that `QuestionNo = 1;` reads as it should; out of range raises.
    constexpr Integer(int value) : value_(Checked(value)) {}  // NOLINT(google-explicit-constructor)

    constexpr int value() const noexcept { return value_; }

    friend constexpr Integer operator+(Integer a, Integer b) { return Integer(a.value_ + b.value_); }
    friend constexpr Integer operator-(Integer a, Integer b) { return Integer(a.value_ - b.value_); }
    friend constexpr bool operator==(Integer a, Integer b) noexcept { return a.value_ == b.value_; }
    friend constexpr auto operator<=>(Integer a, Integer b) noexcept { return a.value_ <=> b.value_; }

    // Decimal digits, "-" before a negative value, no blank.
    QString ToText() const { return QString::number(value_); }

private:
    static constexpr std::int16_t Checked(int value) {
        if (value < Min || value > Max) Raise(ErrorCode::Overflow);
        return static_cast<std::int16_t>(value);
    }

    std::int16_t value_ = 0;
};

}  // namespace runtime
