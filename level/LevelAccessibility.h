#pragma once
// What a screen reader is told about a level window. Everything it says is read from the
// controls that the window's handlers set, after they have run; the handlers know nothing
// of it.

#include <QObject>
#include <QString>

class LevelWindow;
class QLabel;
class QWidget;

class LevelAccessibility : public QObject {
    Q_OBJECT
public:
    // Attaches to the window for as long as it lives.
    explicit LevelAccessibility(LevelWindow* window);

private:
    // Names and descriptions as the controls stand now: the window by its level, the
    // question box by the question's number, each answer button by its number and option.
    void Describe();

    // What is said after Next was pressed: the question now on show with its number, or
    // the completion text once the level is completed.
    QString AfterNext() const;
    // What is said after an answer: right or wrong, then the new marks after a right
    // answer or the correct option after a wrong one.
    QString AfterAnswer() const;

    // Once a press has been handled: describes the controls anew and announces `message`
    // to the control the player is on, where the screen reader is: the one that has the
    // focus, or the one the press locked while it had it, before the focus moves on.
    void AfterPress(QString (LevelAccessibility::*message)() const);
    // The label that shows option 1 to 4; none for another number.
    QLabel* OptionLabel(int option) const;
    // "2, TAGORE": an option's number with the option's text beside it.
    QString OptionSpoken(const QString& number, int option) const;

    LevelWindow* window_;
    const QString questionName_;  // the question box's name in the design
};
