#include "level/LevelAccessibility.h"

#include "level/LevelWindow.h"
#include "runtime/Accessibility.h"

namespace {

// Sets only what differs, so a screen reader hears of no change that is none.
void SetName(QWidget* control, const QString& name) {
    if (control->accessibleName() != name) control->setAccessibleName(name);
}

void SetDescription(QWidget* control, const QString& description) {
    if (control->accessibleDescription() != description) control->setAccessibleDescription(description);
}

}  // namespace

LevelAccessibility::LevelAccessibility(LevelWindow* window)
    : QObject(window), window_(window), questionName_(window->ui.Text1->accessibleName()) {
    auto& ui = window->ui;
    // Connected after the handlers, so these run once a handler has run to its end.
    connect(ui.cmdNext, &QAbstractButton::clicked, this, [this] { AfterPress(&LevelAccessibility::AfterNext); });
    for (QAbstractButton* answer : {ui.Command1, ui.Command2, ui.Command3, ui.Command4}) {
        connect(answer, &QAbstractButton::clicked, this, [this] { AfterPress(&LevelAccessibility::AfterAnswer); });
    }
    Describe();
}

void LevelAccessibility::Describe() {
    auto& ui = window_->ui;
    SetName(window_, ui.Label12->text());
    const QString number = ui.Label10->text();
    SetName(ui.Text1, number.isEmpty() ? questionName_ : questionName_ + QLatin1Char(' ') + number);
    QAbstractButton* const buttons[] = {ui.Command1, ui.Command2, ui.Command3, ui.Command4};
    for (int option = 1; option <= 4; ++option) {
        QAbstractButton* button = buttons[option - 1];
        SetName(button, OptionSpoken(runtime::SpokenCaption(button->text()), option));
        SetDescription(button, OptionLabel(option)->text());
    }
}

QString LevelAccessibility::AfterNext() const {
    auto& ui = window_->ui;
    if (!ui.lblcomplete->text().isEmpty()) return ui.lblcomplete->text();
    return ui.Text1->accessibleName() + QStringLiteral(". ") + ui.Text1->text();
}

QString LevelAccessibility::AfterAnswer() const {
    auto& ui = window_->ui;
    // The verdict picture names itself: it is a copy of one of the two faces.
    const QString verdict = ui.Image1->accessibleName() + QStringLiteral(". ");
    if (ui.Image1->accessibleName() == ui.Image2->accessibleName())
        return verdict + ui.Label4->text() + QLatin1Char(' ') + ui.Label11->text();
    return verdict + ui.Label13->text() + QLatin1Char(' ') + OptionSpoken(ui.Label14->text(), ui.Label14->text().toInt());
}

QLabel* LevelAccessibility::OptionLabel(int option) const {
    auto& ui = window_->ui;
    QLabel* const labels[] = {ui.Label6, ui.Label7, ui.Label8, ui.Label9};
    return option >= 1 && option <= 4 ? labels[option - 1] : nullptr;
}

QString LevelAccessibility::OptionSpoken(const QString& number, int option) const {
    const QLabel* label = OptionLabel(option);
    if (!label || label->text().isEmpty()) return number;
    return number + QStringLiteral(", ") + label->text();
}

void LevelAccessibility::AfterPress(QString (LevelAccessibility::*message)() const) {
    // A press that unloaded the window, or ended the program, has nothing more to say.
    if (!window_->IsLoaded()) return;
    Describe();
    QWidget* focus = window_->FocusedControl();
    runtime::Announce(focus ? focus : window_, (this->*message)());
}
