#pragma once
// What every suite needs: the program's application set-up, a clean program state before
// each test, and ways to drive the real windows and read them back.

#include "about/AboutBox.h"
#include "app/MainMenu.h"
#include "app/Module1.h"
#include "level/LevelWindow.h"
#include "runtime/Forms.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>
#include <array>
#include <vector>

namespace harness {

// Once per suite, before the first test.
void PrepareSuite();
// Before each test: every form unloaded and deleted, the quiz state 0, the end undone,
// the random sequence the generator's own, errors reported to the test (see Errors()).
void ResetProgram();

const std::vector<runtime::RuntimeError>& Errors();  // reported since the last reset
// Starts the program as its entry point does: quiz state 0, the menu loaded and shown.
void StartProgram();
// Whether QuestionOrder holds each of 1 to 200 once in positions 1 to 200, and 0 in position 0.
bool IsPermutation();

// The five level forms, and the menu's buttons that open them, indexed 0 to 4 for levels 1 to 5.
std::array<runtime::Form<LevelWindow>*, 5> LevelForms();
QAbstractButton* LevelButton(int index);
// Opens level window `index` with its menu button, as a player does.
LevelWindow* OpenLevel(int index);

// Answer button n (1 to 4) of a level window; whether the four are enabled, as they agree.
QAbstractButton* AnswerButton(LevelWindow* w, int n);
bool AnswersEnabled(LevelWindow* w);

// The verdict a level window shows: no picture, or a copy of one of its two faces.
enum class Face { None, Right, Wrong, Other };
Face FaceShown(LevelWindow* w);

// What a screen reader is told of a control: its accessible interface, and the name on it.
QAccessibleInterface* Accessible(QObject* object);
QString Name(QObject* object);

// Clicks a button as a player does with the mouse, and lets pending events run.
void Click(QAbstractButton* button);
// Presses Alt+key in the window that holds the button, as a player does with an access
// key, and waits until the press has had its effect.
void AccessKey(QWidget* window, char key);

// Closes the next message box that reports an error, as soon as it shows, keeping its text.
void AnswerErrorBox(QString* text);

// The names of the controls that Tab visits, in order, starting from `first`: enabled,
// visible and taking the focus by Tab.
QStringList TabWalk(QWidget* first);

// The runtime error that f raises, or ErrorCode{0} when it raises none.
template <class F>
runtime::ErrorCode RaisedBy(F&& f) {
    try {
        f();
    } catch (const runtime::RuntimeError& e) {
        return e.code();
    }
    return runtime::ErrorCode{0};
}

// Deletes windows that were unloaded.
void FlushDeletes();

}  // namespace harness
