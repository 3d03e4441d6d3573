#pragma once
// The runtime's errors. A handler never traps them: the event dispatch does,
// reports the error and ends the program.

#include <QString>
#include <stdexcept>

namespace runtime {

enum class ErrorCode : int {
    InvalidCall = 5,        // a call with an argument the runtime cannot take
    Overflow = 6,           // 16-bit integer or single-precision overflow
    SubscriptOutOfRange = 9,
    ObjectCallFailed = 91,  // a property set or method call on a control that is not there
};

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorCode code);
    ErrorCode code() const noexcept { return code_; }
    int number() const noexcept { return static_cast<int>(code_); }
    // "Run-time error '6':" followed by a blank line and the error's name.
    QString report() const;

private:
    ErrorCode code_;
};

// The error's name as the player reads it in the report.
const char* ErrorName(ErrorCode code) noexcept;

[[noreturn]] void Raise(ErrorCode code);

}  // namespace runtime
