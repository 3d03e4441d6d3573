#pragma once
// A fixed-size array with the index bounds of its declaration (Lower to Upper, both included).
// Every index is tested; one outside the bounds raises the runtime's bounds error.

#include "Error.h"
#include "Integer.h"

#include <array>

namespace runtime {

template <class T, int Lower, int Upper>
class FixedArray {
    static_assert(Lower <= Upper);

public:
    static constexpr int LBound = Lower;
    static constexpr int UBound = Upper;

    T& operator()(Integer index) { return items_[Offset(index)]; }
    const T& operator()(Integer index) const { return items_[Offset(index)]; }
    T& operator[](Integer index) { return items_[Offset(index)]; }
    const T& operator[](Integer index) const { return items_[Offset(index)]; }

    static constexpr std::size_t size() noexcept { return Upper - Lower + 1; }

private:
    static std::size_t Offset(Integer index) {
        if (index.value() < Lower || index.value() > Upper) Raise(ErrorCode::SubscriptOutOfRange);
        return static_cast<std::size_t>(index.value() - Lower);
    }

    std::array<T, Upper - Lower + 1> items_{};
};

}  // namespace runtime
