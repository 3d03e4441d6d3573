#pragma once
// The five level tables.

#include "bank/Question.h"

namespace bank {

extern const QuestionTable Level1;
extern const QuestionTable Level2;
extern const QuestionTable Level3;
extern const QuestionTable Level4;
extern const QuestionTable Level5;

// The table of level 1 to 5.
const QuestionTable& LevelTable(int level);

}  // namespace bank
