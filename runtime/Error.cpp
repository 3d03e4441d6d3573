#include "Error.h"

namespace runtime {

const char* ErrorName(ErrorCode code) noexcept {
    switch (code) {
    case ErrorCode::InvalidCall: return "Invalid procedure call or argument";
    case ErrorCode::Overflow: return "Overflow";
    case ErrorCode::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorCode::ObjectCallFailed: return "Object variable not set";
    }
    return "Unknown error";
}

RuntimeError::RuntimeError(ErrorCode code) : std::runtime_error(ErrorName(code)), code_(code) {}

QString RuntimeError::report() const {
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number()).arg(QString::fromLatin1(what()));
}

void Raise(ErrorCode code) { throw RuntimeError(code); }

}  // namespace runtime
