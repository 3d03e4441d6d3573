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

// Stands for a record not written yet, so that a pass through the level runs to its end.
// TEMPORARY: every use goes when the level's questions are written.
inline constexpr Question TemporaryFiller{
    u"QUESTION NOT WRITTEN YET", {u"FIRST OPTION", u"SECOND OPTION", u"THIRD OPTION", u"FOURTH OPTION"}, 1};

}  // namespace bank
