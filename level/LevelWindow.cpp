#include "level/LevelWindow.h"

#include "level/LevelAccessibility.h"

#include "app/Module1.h"
#include "bank/Levels.h"
#include "runtime/Beep.h"
#include "runtime/DesignStyle.h"

using runtime::Integer;
using runtime::OnClick;
using runtime::PixelsFromTwips;

namespace {

// Adds declarations to a control's design style; where they name a property the design
// sets too, they win, so only what differs is written here.
void Restyle(QWidget* control, const QString& declarations) {
    const char* style = runtime::DesignStyleProperty;
    control->setProperty(style, control->property(style).toString() + QLatin1Char(' ') + declarations);
}

void Place(QWidget* control, const QPoint& twips) {
    control->move(PixelsFromTwips(twips.x()), PixelsFromTwips(twips.y()));
}

}  // namespace

LevelWindow::LevelWindow(const LevelDesign& levelDesign) : design(levelDesign) {
    ui.setupUi(this);
    setObjectName(QLatin1String(design.formName));

    // This level's differences from the design.
    ui.Text1->setText(QLatin1String(design.introduction));
    ui.Label12->setText(QLatin1String(design.levelCaption));
    Restyle(ui.Label12, QStringLiteral("font-family: \"%1\"; font-weight: %2; color: %3;")
                            .arg(QLatin1String(design.levelFontFamily))
                            .arg(design.levelFontWeight)
                            .arg(design.levelColour.name()));
    ui.Label12->resize(PixelsFromTwips(design.levelWidth), ui.Label12->height());
    Restyle(ui.Label5, QStringLiteral("color: %1;").arg(design.titleColour.name()));
    ui.Label5->resize(PixelsFromTwips(design.titleWidth), ui.Label5->height());
    ui.lblcomplete->resize(ui.lblcomplete->width(), PixelsFromTwips(design.completeHeight));
    Place(ui.Image2, design.rightFaceAt);
    Place(ui.Image3, design.wrongFaceAt);
    if (design.nextBeforeQuit) {
        setTabOrder(ui.Command4, ui.cmdNext);
        setTabOrder(ui.cmdNext, ui.cmdQuit);
    } else {
        setTabOrder(ui.Command4, ui.cmdQuit);
        setTabOrder(ui.cmdQuit, ui.cmdNext);
    }
    FinishDesign();

    OnClick(ui.cmdNext, this, &LevelWindow::cmdNext_Click);
    OnClick(ui.Command1, this, &LevelWindow::Command1_Click);
    OnClick(ui.Command2, this, &LevelWindow::Command2_Click);
    OnClick(ui.Command3, this, &LevelWindow::Command3_Click);
    OnClick(ui.Command4, this, &LevelWindow::Command4_Click);
    OnClick(ui.cmdQuit, this, &LevelWindow::cmdQuit_Click);

    // What a screen reader is told, read from the controls once the handlers have run.
    new LevelAccessibility(this);
}

bank::QuestionSlots LevelWindow::QuestionSlots() {
    return {bank::LevelTable(design.level), ui.Text1, ui.Label6, ui.Label7, ui.Label8, ui.Label9};
}

void LevelWindow::Form_Load() {
    SetLeft(runtime::Centred(runtime::Screen::Width(), Width()));
    SetTop(runtime::Centred(runtime::Screen::Height(), Height()));
    Marks = 0;
    QuestionNo = 1;
    runtime::Randomize();
    // Draw each position's number until one comes up that the positions before it do
    // not hold yet; a repeat means a fresh draw and a fresh scan from position 1.
    while (QuestionNo < 201) {
        RandomNo = runtime::Int(static_cast<double>(runtime::Rnd()) * 200.0 + 1.0);
        ScanNo = 1;
        while (ScanNo != QuestionNo && QuestionOrder(ScanNo) != RandomNo) ScanNo = ScanNo + 1;
        if (ScanNo != QuestionNo) continue;
        QuestionOrder(QuestionNo) = RandomNo;
        QuestionNo = QuestionNo + 1;
    }
    QuestionNo = 0;
    ui.cmdNext->setText(QStringLiteral("&Start"));
    ui.cmdQuit->setEnabled(true);
    ui.Command1->setEnabled(false);
    ui.Command2->setEnabled(false);
    ui.Command3->setEnabled(false);
    ui.Command4->setEnabled(false);
}

void LevelWindow::cmdNext_Click() {
    ui.Command1->setEnabled(true);
    ui.Command2->setEnabled(true);
    ui.Command3->setEnabled(true);
    ui.Command4->setEnabled(true);
    ui.Image1->setPicture(runtime::LoadPicture());
    QuestionNo = QuestionNo + 1;
    if (QuestionNo > 200) {
        ui.lblcomplete->setText(QLatin1String(design.completion));
        ui.cmdNext->setEnabled(false);
        ui.Command1->setEnabled(false);
        ui.Command2->setEnabled(false);
        ui.Command3->setEnabled(false);
        ui.Command4->setEnabled(false);
        return;
    }
    ui.Label10->setText(QuestionNo.ToText());
    ui.Label14->setText(QString());
    ui.cmdNext->setText(QStringLiteral("&Next"));
    ui.cmdNext->setEnabled(false);
    bank::ShowQuestion(QuestionSlots(), QuestionOrder(QuestionNo));
}

void LevelWindow::Command1_Click() { Answer(1); }
void LevelWindow::Command2_Click() { Answer(2); }
void LevelWindow::Command3_Click() { Answer(3); }
void LevelWindow::Command4_Click() { Answer(4); }

// Judges the answer given with option `option` against the question last shown.
void LevelWindow::Answer(Integer option) {
    if (CorrectOption == option) {
        Marks = Marks + 1;
        ui.Label11->setText(Marks.ToText());
        ui.Image1->setPicture(ui.Image2->picture());
        ui.Label14->setText(CorrectOption.ToText());
        runtime::Beep();
    } else {
        ui.Image1->setPicture(ui.Image3->picture());
        ui.Label14->setText(CorrectOption.ToText());
    }
    ui.Command1->setEnabled(false);
    ui.Command2->setEnabled(false);
    ui.Command3->setEnabled(false);
    ui.Command4->setEnabled(false);
    ui.cmdNext->setEnabled(true);
}

void LevelWindow::cmdQuit_Click() { design.form->Unload(); }
