// Long play: hundreds of levels opened, played in and left, alone and several at once,
// leave nothing behind. Under the sanitizers' build, LeakSanitizer checks at the end of
// the run that every allocation of those passes was given back.

#include "Harness.h"

namespace {

constexpr int Cycles = 200;

// What the program holds at a moment: widgets, windows and objects under the application.
struct Holdings {
    qsizetype widgets, windows, applicationObjects;
    int loadedForms;
};

Holdings Now() {
    return {QApplication::allWidgets().size(), QApplication::topLevelWidgets().size(), qApp->children().size(),
            runtime::LoadedFormCount()};
}

QAbstractButton* LevelButton(int level) {
    MainMenu& menu = *frmTarvonix;
    QAbstractButton* buttons[] = {menu.ui.cmdLevel1, menu.ui.cmdLevel2, menu.ui.cmdLevel3, menu.ui.cmdLevel4,
                                  menu.ui.cmdLevel5};
    return buttons[level];
}

// Plays three questions in an open level window: Start, an answer, Next, an answer, ...
void PlayThree(LevelWindow& window) {
    QAbstractButton* answers[] = {window.ui.Command1, window.ui.Command2, window.ui.Command3, window.ui.Command4};
    for (int question = 0; question < 3; ++question) {
        harness::Click(window.ui.cmdNext);
        harness::Click(answers[(question + CorrectOption.value()) % 4]);
    }
}

// Opens a level from the menu, plays in it and leaves it with its Exit.
void Cycle(int level) {
    harness::Click(LevelButton(level));
    LevelWindow& window = **harness::LevelForms()[level];
    PlayThree(window);
    harness::Click(window.ui.cmdQuit);
    harness::FlushDeletes();
}

// Opens all five levels, plays in each, and leaves them in the order they were opened.
void CycleAllFive() {
    for (int level = 0; level < 5; ++level) harness::Click(LevelButton(level));
    for (auto* form : harness::LevelForms()) PlayThree(**form);
    for (auto* form : harness::LevelForms()) harness::Click((*form)->ui.cmdQuit);
    harness::FlushDeletes();
}

}  // namespace

class LongPlayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(); }

    void longPlayLeavesNothingBehind() {
        harness::StartProgram();
        Cycle(0);
        CycleAllFive();
        const Holdings settled = Now();
        QCOMPARE(settled.loadedForms, 1);
        for (int cycle = 1; cycle <= Cycles; ++cycle) {
            if (cycle % 25 == 0) {
                CycleAllFive();
            } else {
                Cycle(cycle % 5);
            }
        }
        QVERIFY(harness::Errors().empty());
        const Holdings now = Now();
        QCOMPARE(now.widgets, settled.widgets);
        QCOMPARE(now.windows, settled.windows);
        QCOMPARE(now.applicationObjects, settled.applicationObjects);
        QCOMPARE(now.loadedForms, 1);
        QVERIFY(frmTarvonix->isVisible());
    }
};

QTEST_MAIN(LongPlayTest)
#include "test_long_play.moc"
