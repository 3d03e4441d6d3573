#pragma once
// Shows a record of a level in a level window.

#include "bank/Question.h"
#include "runtime/Integer.h"

#include <QString>

class QLabel;
namespace runtime {
class TextBox;
}

namespace bank {

// The five display slots of a level window and the table of its level.
struct QuestionSlots {
    const QuestionTable& table;
    runtime::TextBox* Text1;
    QLabel* Label6;  // option 1, beside Command1
    QLabel* Label7;  // option 2, beside Command2
    QLabel* Label8;  // option 3, beside Command3
    QLabel* Label9;  // option 4, beside Command4
};

// A text of the bank as Qt holds it, exactly as stored.
QString Text(std::u16string_view text);

// Writes record n into the slots, texts exactly as stored, and sets CorrectOption to its
// answer. A number outside 1 to 200 selects no record and changes nothing.
void ShowQuestion(const QuestionSlots& window, runtime::Integer n);

}  // namespace bank
