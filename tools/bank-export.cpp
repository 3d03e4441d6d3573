// Prints the whole question bank as tab-separated lines, in level and number order:
// level, number, question, option 1, option 2, option 3, option 4, answer.
// Texts come out exactly as stored, blanks included, for proofreading and outside checks.

#include "bank/Levels.h"

#include <cstdio>
#include <string>

namespace {

void Put(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) bytes.push_back(static_cast<char>(c));  // the bank is ASCII
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

int main() {
    for (int level = 1; level <= bank::LevelCount; ++level) {
        const bank::QuestionTable& table = bank::LevelTable(level);
        for (int number = 1; number <= bank::QuestionsPerLevel; ++number) {
            const bank::Question& q = table[static_cast<std::size_t>(number - 1)];
            std::printf("%d\t%d\t", level, number);
            Put(q.QuestionText);
            for (int n = 1; n <= 4; ++n) {
                std::fputc('\t', stdout);
                Put(q.OptionText(n));
            }
            std::printf("\t%d\n", q.AnswerNumber);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
