// Prints the whole question bank as tab-separated lines, in level and number order:
// level, number, question, option 1, option 2, option 3, option 4, answer.
// Texts come out exactly as stored, blanks included, for proofreading and outside checks.
//
// With --figures it prints each level's figures instead (lengths, answers, shared option
// sets, special options, the digit 1), and the whole bank's, for the people who write
// the questions.

#include "bank/Figures.h"
#include "bank/Levels.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Put(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) bytes.push_back(static_cast<char>(c));  // the bank is ASCII
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void Export() {
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
}

void PrintFigures(const char* name, const bank::Figures& f, int records) {
    std::printf("%-6s question %d-%d  option %d-%d  answers %d %d %d %d  sets %d shared %d runs %d/%d  "
                "none %d/%d all %d/%d yes-no %d  ones %d after-blank %d  mean question %.2f option %.2f\n",
                name, f.questionShortest, f.questionLongest, f.optionShortest, f.optionLongest, f.answers[0],
                f.answers[1], f.answers[2], f.answers[3], f.distinctOptionSets, f.sharedRecords, f.runs,
                f.runRecords, f.noneOfTheAbove, f.noneCorrect, f.allOfTheAbove, f.allCorrect, f.yesNo, f.digitOnes,
                f.onesAfterBlank, double(f.questionCharacters) / records, double(f.optionCharacters) / (4.0 * records));
}

void Figures() {
    bank::Figures all = bank::FiguresOf(bank::LevelTable(1));
    for (int level = 1; level <= bank::LevelCount; ++level) {
        const bank::Figures f = bank::FiguresOf(bank::LevelTable(level));
        const std::string name = "level" + std::to_string(level);
        PrintFigures(name.c_str(), f, bank::QuestionsPerLevel);
        if (level > 1) all += f;
    }
    PrintFigures("bank", all, bank::QuestionsPerLevel * bank::LevelCount);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--figures") == 0) {
        Figures();
    } else {
        Export();
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
