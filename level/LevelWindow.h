#pragma once
// The level window: one design for the five levels, and the handlers of a pass.

#include "bank/ShowQuestion.h"
#include "runtime/Forms.h"
#include "ui_LevelWindow.h"

#include <QColor>
#include <QPoint>

class LevelWindow;

// What one level window has of its own; everything else comes from the one design.
struct LevelDesign {
    int level;                              // 1 to 5, also selects the question table
    const char* formName;                   // frmgk, frmgk1, ...
    runtime::Form<LevelWindow>* form;       // the window's program-wide instance
    const char* introduction;               // Text1 before the first question
    const char* levelCaption;               // Label12
    QColor levelColour;                     // Label12 text
    const char* levelFontFamily;            // Label12 font, 15.75 pt
    int levelFontWeight;
    int levelWidth;                         // Label12 width, twips
    QColor titleColour;                     // Label5 text
    int titleWidth;                         // Label5 width, twips
    int completeHeight;                     // lblcomplete height, twips
    QPoint rightFaceAt;                     // Image2 (Left, Top), twips
    QPoint wrongFaceAt;                     // Image3 (Left, Top), twips
    bool nextBeforeQuit;                    // tab order of cmdNext and cmdQuit
    const char* completion;                 // lblcomplete after the last question
};

extern const LevelDesign LevelDesigns[5];

class LevelWindow : public runtime::FormWindow {
    Q_OBJECT
public:
    explicit LevelWindow(const LevelDesign& design);

    void Form_Load() override;
    void cmdNext_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void cmdQuit_Click();

    // The slots ShowQuestion writes into, with this level's table.
    bank::QuestionSlots QuestionSlots();

    Ui::LevelWindow ui;
    const LevelDesign& design;

private:
    void Answer(runtime::Integer option);
};

inline runtime::Form<LevelWindow> frmgk{[] { return new LevelWindow(LevelDesigns[0]); }};
inline runtime::Form<LevelWindow> frmgk1{[] { return new LevelWindow(LevelDesigns[1]); }};
inline runtime::Form<LevelWindow> frmgk2{[] { return new LevelWindow(LevelDesigns[2]); }};
inline runtime::Form<LevelWindow> frmgk3{[] { return new LevelWindow(LevelDesigns[3]); }};
inline runtime::Form<LevelWindow> frmgk4{[] { return new LevelWindow(LevelDesigns[4]); }};
