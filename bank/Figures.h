#pragma once
// The figures that characterise a level's questions: text lengths, how often each option
// is the answer, how records share option sets, the special options, and how the digit 1
// is written. bank-export prints them for the people who write questions; the tests hold
// every level to its figures.

#include "bank/Question.h"

#include <algorithm>
#include <array>

namespace bank {

inline constexpr std::u16string_view NoneOfTheAbove = u"NONE OF THE ABOVE";
inline constexpr std::u16string_view AllOfTheAbove = u"ALL OF THE ABOVE";

// A text made of asterisks only: it fills an option that is not a real choice.
constexpr bool IsFiller(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u'*'; });
}

// A statement answered "YES" or "NO".
constexpr bool IsYesNo(const Question& q) { return q.OptionText(1) == u"YES" && q.OptionText(2) == u"NO"; }

struct Figures {
    int questionShortest = 0, questionLongest = 0;
    int optionShortest = 0, optionLongest = 0;
    std::array<int, 4> answers{};  // how often option 1 to 4 is the correct one
    int distinctOptionSets = 0;
    int sharedRecords = 0;  // records whose option set another record of the level also uses
    int runs = 0;           // runs of two or more consecutive records with one option set
    int runRecords = 0;     // records in those runs
    int noneOfTheAbove = 0, noneCorrect = 0;
    int allOfTheAbove = 0, allCorrect = 0;
    int yesNo = 0;
    int digitOnes = 0, onesAfterBlank = 0;
    int questionCharacters = 0, optionCharacters = 0;  // sums, for the mean lengths

    friend constexpr bool operator==(const Figures&, const Figures&) = default;

    constexpr Figures& operator+=(const Figures& o) {
        questionShortest = std::min(questionShortest, o.questionShortest);
        questionLongest = std::max(questionLongest, o.questionLongest);
        optionShortest = std::min(optionShortest, o.optionShortest);
        optionLongest = std::max(optionLongest, o.optionLongest);
        for (std::size_t i = 0; i < 4; ++i) answers[i] += o.answers[i];
        distinctOptionSets += o.distinctOptionSets;
        sharedRecords += o.sharedRecords;
        runs += o.runs;
        runRecords += o.runRecords;
        noneOfTheAbove += o.noneOfTheAbove;
        noneCorrect += o.noneCorrect;
        allOfTheAbove += o.allOfTheAbove;
        allCorrect += o.allCorrect;
        yesNo += o.yesNo;
        digitOnes += o.digitOnes;
        onesAfterBlank += o.onesAfterBlank;
        questionCharacters += o.questionCharacters;
        optionCharacters += o.optionCharacters;
        return *this;
    }
};

namespace detail {

constexpr void CountOnes(std::u16string_view text, Figures& f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'1') continue;
        ++f.digitOnes;
        if (i > 0 && text[i - 1] == u' ') ++f.onesAfterBlank;
    }
}

}  // namespace detail

template <std::size_t N>
constexpr Figures FiguresOf(const std::array<Question, N>& table) {
    static_assert(N > 0);
    Figures f;
    f.questionShortest = f.optionShortest = 1 << 30;
    for (std::size_t r = 0; r < N; ++r) {
        const Question& q = table[r];
        const int qlen = static_cast<int>(q.QuestionText.size());
        f.questionShortest = std::min(f.questionShortest, qlen);
        f.questionLongest = std::max(f.questionLongest, qlen);
        f.questionCharacters += qlen;
        detail::CountOnes(q.QuestionText, f);
        for (int n = 1; n <= 4; ++n) {
            const int olen = static_cast<int>(q.OptionText(n).size());
            f.optionShortest = std::min(f.optionShortest, olen);
            f.optionLongest = std::max(f.optionLongest, olen);
            f.optionCharacters += olen;
            detail::CountOnes(q.OptionText(n), f);
            if (q.OptionText(n) == NoneOfTheAbove) {
                ++f.noneOfTheAbove;
                if (n == q.AnswerNumber) ++f.noneCorrect;
            }
            if (q.OptionText(n) == AllOfTheAbove) {
                ++f.allOfTheAbove;
                if (n == q.AnswerNumber) ++f.allCorrect;
            }
        }
        if (q.AnswerNumber >= 1 && q.AnswerNumber <= 4) ++f.answers[static_cast<std::size_t>(q.AnswerNumber - 1)];
        if (IsYesNo(q)) ++f.yesNo;

        bool seenBefore = false, seenElsewhere = false;
        for (std::size_t o = 0; o < N; ++o) {
            if (o == r || !(table[o].OptionText == q.OptionText)) continue;
            seenElsewhere = true;
            if (o < r) seenBefore = true;
        }
        if (!seenBefore) ++f.distinctOptionSets;
        if (seenElsewhere) ++f.sharedRecords;

        const bool sameAsPrevious = r > 0 && table[r - 1].OptionText == q.OptionText;
        const bool sameAsNext = r + 1 < N && table[r + 1].OptionText == q.OptionText;
        if (sameAsPrevious || sameAsNext) ++f.runRecords;
        if (!sameAsPrevious && sameAsNext) ++f.runs;
    }
    return f;
}

}  // namespace bank
