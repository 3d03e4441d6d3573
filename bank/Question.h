#pragma once
// The question record and a level's table of 200 records, numbered 1 to 200.

#include <array>
#include <string_view>

namespace bank {

// The four options of a record, in the order of the answer buttons 1 to 4.
// Records that ask about the same four things share one named OptionSet.
struct OptionSet {
    std::u16string_view Option1, Option2, Option3, Option4;

    constexpr std::u16string_view operator()(int n) const {
        switch (n) {
        case 1: return Option1;
        case 2: return Option2;
        case 3: return Option3;
        default: return Option4;
        }
    }
    friend constexpr bool operator==(const OptionSet&, const OptionSet&) = default;
};

struct Question {
    std::u16string_view QuestionText;
    OptionSet OptionText;  // OptionText(1) to OptionText(4)
    short AnswerNumber;    // 1 to 4
};

inline constexpr int QuestionsPerLevel = 200;
inline constexpr int LevelCount = 5;

// Record n of a level is element n - 1.
using QuestionTable = std::array<Question, QuestionsPerLevel>;

}  // namespace bank
