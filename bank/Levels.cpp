#include "bank/Levels.h"

#include "runtime/Error.h"

namespace bank {

const QuestionTable& LevelTable(int level) {
    switch (level) {
    case 1: return Level1;
    case 2: return Level2;
    case 3: return Level3;
    case 4: return Level4;
    case 5: return Level5;
    default: runtime::Raise(runtime::ErrorCode::SubscriptOutOfRange);
    }
}

}  // namespace bank
