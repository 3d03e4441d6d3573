#pragma once
// What the compiler checks of every level table: its records are complete, their texts
// are within the lengths the level window shows, use only the bank's characters, and
// every answer names one of the four options.

#include "bank/Question.h"

#include <algorithm>

namespace bank {

inline constexpr std::size_t LongestQuestionText = 73;
inline constexpr std::size_t LongestOptionText = 37;

// Lower case stands only inside these abbreviations, units and ordinals.
inline constexpr std::u16string_view LowerCaseWords[] = {u"Dr.", u"Mrs.", u"Mrs", u"Ms.", u"Smt.", u"Sq.Km",
                                                         u"Sq.KM", u"Kms", u"2nd", u"3rd"};

constexpr bool IsBankCharacter(char16_t c) {
    return c == u' ' || c == u'\'' || c == u'(' || c == u')' || c == u'*' || c == u',' || c == u'-' ||
           c == u'.' || c == u'/' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
}

// True when position i of text lies inside one of the lower-case words.
constexpr bool InLowerCaseWord(std::u16string_view text, std::size_t i) {
    for (std::u16string_view word : LowerCaseWords) {
        for (std::size_t start = i + 1 >= word.size() ? i + 1 - word.size() : 0; start <= i; ++start) {
            if (text.substr(start, word.size()) == word) return true;
        }
    }
    return false;
}

constexpr bool IsBankText(std::u16string_view text, std::size_t longest) {
    if (text.empty() || text.size() > longest) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= u'a' && c <= u'z') {
            if (!InLowerCaseWord(text, i)) return false;
        } else if (!IsBankCharacter(c)) {
            return false;
        }
    }
    return true;
}

constexpr bool IsWellFormed(const Question& q) {
    if (q.AnswerNumber < 1 || q.AnswerNumber > 4) return false;
    if (!IsBankText(q.QuestionText, LongestQuestionText)) return false;
    if (q.QuestionText.back() == u'?') return false;
    for (int n = 1; n <= 4; ++n) {
        if (!IsBankText(q.OptionText(n), LongestOptionText)) return false;
    }
    // Filler options (asterisks only) are never the answer.
    const std::u16string_view answer = q.OptionText(q.AnswerNumber);
    return !std::all_of(answer.begin(), answer.end(), [](char16_t c) { return c == u'*'; });
}

constexpr bool IsWellFormed(const QuestionTable& table) {
    return std::all_of(table.begin(), table.end(), [](const Question& q) { return IsWellFormed(q); });
}

}  // namespace bank
