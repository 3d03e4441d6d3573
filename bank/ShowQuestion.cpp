#include "bank/ShowQuestion.h"

#include "app/Module1.h"
#include "runtime/Controls.h"

#include <QLabel>

namespace bank {

QString Text(std::u16string_view text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

void ShowQuestion(const QuestionSlots& window, runtime::Integer n) {
    if (n.value() < 1 || n.value() > QuestionsPerLevel) return;
    const Question& record = window.table[static_cast<std::size_t>(n.value() - 1)];
    window.Text1->setText(Text(record.QuestionText));
    window.Label6->setText(Text(record.OptionText(1)));
    window.Label7->setText(Text(record.OptionText(2)));
    window.Label8->setText(Text(record.OptionText(3)));
    window.Label9->setText(Text(record.OptionText(4)));
    CorrectOption = record.AnswerNumber;
}

}  // namespace bank
