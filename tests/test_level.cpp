// The level window: each level's own design, the shuffle, whole passes with what a screen reader
// is told, the keyboard, leaving, several windows sharing one quiz, and the texts as stored.

#include "Harness.h"
#include "bank/Levels.h"
#include "level/LevelAccessibility.h"
#include "runtime/Accessibility.h"
#include "runtime/Beep.h"

#include <QAccessible>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStyle>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace harness;
using bank::Text;

namespace {

bool Unavailable(QObject* object) { return Accessible(object)->state().disabled; }

// What the program announced, to which control, and which control had the focus then.
struct Said { QPointer<QWidget> control; QString message; QPointer<QWidget> focus; };
std::vector<Said> said;
Said SaidOnce(std::size_t before) {  // the one thing said since `before`
    if (said.size() != before + 1) qFatal("expected one announcement, got %d", int(said.size() - before));
    return said.back();
}

// The record of `number` in the table of the window's level, known by its form, not its design.
const bank::Question& Record(LevelWindow* w, int number) {
    int level = 1;
    while (LevelForms()[level - 1]->window() != w) ++level;
    return bank::LevelTable(level)[number - 1];
}
bool Idle(LevelWindow* w) { return !AnswersEnabled(w); }

// The record a window shows for `number`, also as a screen reader reads the box and the buttons.
void ExpectShowing(LevelWindow* w, int number) {
    const bank::Question& q = Record(w, number);
    QCOMPARE(w->ui.Text1->text(), Text(q.QuestionText));
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("Label%1").arg(n + 5))->text(), Text(q.OptionText(n)));
        QCOMPARE(Name(AnswerButton(w, n)), QStringLiteral("%1, %2").arg(n).arg(Text(q.OptionText(n))));
        QCOMPARE(Accessible(AnswerButton(w, n))->text(QAccessible::Description), Text(q.OptionText(n)));
    }
    QCOMPARE(CorrectOption.value(), int(q.AnswerNumber));
    QCOMPARE(Name(w->ui.Text1), QStringLiteral("Question ") + w->ui.Label10->text());
}

void ExpectWaiting(LevelWindow* w, int index) {
    QVERIFY(QuestionNo.value() == 0 && Marks.value() == 0 && IsPermutation());
    QVERIFY(w->ui.cmdNext->text() == QStringLiteral("&Start") && w->ui.cmdNext->isEnabled() && w->ui.cmdQuit->isEnabled() && Idle(w));
    QCOMPARE(w->ui.Text1->text(),
             QStringLiteral("Level %1 consists 200 Questions. Click on Start Button to start the Quiz").arg(index + 1));
    for (QLabel* l : {w->ui.Label6, w->ui.Label7, w->ui.Label8, w->ui.Label9, w->ui.Label10, w->ui.Label11,
                      w->ui.Label14, w->ui.lblcomplete})
        QCOMPARE(l->text(), QString());
    QVERIFY(FaceShown(w) == Face::None && w->ui.Image2->isHidden() && w->ui.Image3->isHidden());
}

// Leaves level window `index` by Exit: nothing said, the quiz state kept, the menu in front;
// choosing the level again starts a fresh pass, which the old window's Exit does not end.
void ExpectLeaving(LevelWindow* w, int index, bool byKey) {
    const int marks = Marks.value(), number = QuestionNo.value(), correct = CorrectOption.value();
    const std::size_t before = said.size();
    const QPointer<LevelWindow> old = w;
    byKey ? AccessKey(w, 'x') : Click(w->ui.cmdQuit);
    QVERIFY(!LevelForms()[index]->IsLoaded() && (!old || old->isHidden()) && said.size() == before);
    QVERIFY(Marks.value() == marks && QuestionNo.value() == number && !runtime::HasEnded());
    QCOMPARE(QApplication::activeWindow(), frmTarvonix.window());
    ExpectWaiting(OpenLevel(index), index);
    QCOMPARE(CorrectOption.value(), correct);
    if (old) Click(old->ui.cmdQuit);
    QVERIFY(LevelForms()[index]->IsLoaded() && Errors().empty());
}

// The first column a label inks, and how many columns from there to the last.
std::pair<int, int> Inked(QLabel* label) {
    const QImage image = label->grab().toImage();
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != image.pixel(image.width() - 1, image.height() - 1)) last = first < 0 ? first = x : x;
    return {first, last - first + 1};
}

}  // namespace

class LevelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        PrepareSuite();
        if (qEnvironmentVariableIsSet("TARVONIX_PRINT_FIRST_ORDER")) {  // a fresh start, for eachStartShufflesAfresh
            frmgk.Load();
            std::printf("order:");
            for (int p = 1; p <= 200; ++p) std::printf("%d ", QuestionOrder(p).value());
            std::fflush(stdout);
            std::_Exit(0);
        }
        runtime::SetAnnouncer([](QWidget* c, const QString& m) { said.push_back({c, m, QApplication::focusWidget()}); });
    }
    void init() {
        ResetProgram();
        StartProgram();
        said.clear();
    }

    // What each level has of its own that no picture of it shows, and how it opens.
    void eachLevelOpensWaitingForStart_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("twips");  // Label12 and Label5 widths, lblcomplete height, faces' places
        QTest::addColumn<bool>("nextFirst");    // Next before Exit in Tab order
        QTest::newRow("Level 1") << 0 << QList<int>{1815, 3765, 375, 240, 5160, 1320, 5160} << true;
        QTest::newRow("Level 2") << 1 << QList<int>{1695, 3375, 495, 240, 5160, 1200, 5160} << false;
        QTest::newRow("Level 3") << 2 << QList<int>{1815, 3375, 495, 240, 5160, 960, 5160} << false;
        QTest::newRow("Level 4") << 3 << QList<int>{1815, 3375, 495, 240, 5280, 1080, 5280} << false;
        QTest::newRow("Level 5") << 4 << QList<int>{1815, 3375, 495, 240, 5280, 1080, 5280} << false;
    }
    void eachLevelOpensWaitingForStart() {
        QFETCH(int, index);
        QFETCH(QList<int>, twips);
        QFETCH(bool, nextFirst);
        CorrectOption = 3;
        LevelWindow* w = OpenLevel(index);
        ExpectWaiting(w, index);
        QVERIFY(CorrectOption.value() == 3 && QApplication::focusWidget() == w->ui.Text1);  // loading leaves it alone
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint && w->geometry() == frmTarvonix->geometry());  // over the menu
        QWidget plain;  // every control where the form's design puts it, but for this level's own
        Ui::LevelWindow().setupUi(&plain);
        const auto px = runtime::PixelsFromTwips;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            QWidget* same = plain.findChild<QWidget*>(c->objectName());
            if (!same || c->objectName().startsWith(QLatin1String("qt_"))) continue;
            QRect expected = same->geometry();
            if (c == w->ui.Label12) expected.setWidth(px(twips[0]));
            if (c == w->ui.Label5) expected.setWidth(px(twips[1]));
            if (c == w->ui.lblcomplete) expected.setHeight(px(twips[2]));
            if (c == w->ui.Image2) expected.moveTopLeft({px(twips[3]), px(twips[4])});
            if (c == w->ui.Image3) expected.moveTopLeft({px(twips[5]), px(twips[6])});
            QVERIFY2(c->geometry() == expected, qPrintable(c->objectName()));
        }
        // As a screen reader meets it: named by its level caption, nothing new on a taskbar.
        QVERIFY(Name(w) == w->ui.Label12->text() && Name(w).simplified() == QStringLiteral("Level %1").arg(index + 1));
        QVERIFY(w->windowTitle().isEmpty() && Name(w->ui.Text1) == QStringLiteral("Question"));
        QCOMPARE(Name(w->ui.cmdNext), QStringLiteral("Start"));
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(Name(AnswerButton(w, n)) == QString::number(n) && Unavailable(AnswerButton(w, n)));
            AnswerButton(w, n)->setEnabled(true);  // for the Tab walk
        }
        QStringList walk{"Text1", "Command1", "Command2", "Command3", "Command4", "cmdNext", "cmdQuit"};
        if (!nextFirst) walk.swapItemsAt(5, 6);
        QCOMPARE(TabWalk(w->ui.Text1), walk);
        for (int n = 1; n <= 4; ++n) AnswerButton(w, n)->setEnabled(false);
        ExpectLeaving(w, index, index % 2);
        QVERIFY(said.empty());  // opening and leaving are the screen reader's own to say
    }

    void everyLoadDrawsAFreshPermutation() {
        QVector<int> firsts(201, 0), previous;
        for (int i = 0; i < 2000; ++i) {
            frmgk.Load();
            QVector<int> order(200);
            for (int p = 1; p <= 200; ++p) order[p - 1] = QuestionOrder(p).value();
            QVERIFY(IsPermutation() && std::exchange(previous, order) != order);
            ++firsts[order[0]];
            frmgk.Unload();
        }
        FlushDeletes();
        QVERIFY2(*std::max_element(firsts.begin(), firsts.end()) < 40, "a number comes first far too often");
    }

    // Two starts of the program shuffle a level differently: its load seeds the generator from
    // the clock. The suite starts itself twice for it.
    void eachStartShufflesAfresh() {
        QStringList orders;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TARVONIX_PRINT_FIRST_ORDER"), QStringLiteral("1"));
        for (int start = 0; start < 2; ++start) {
            QProcess fresh;
            fresh.setProcessEnvironment(environment);
            fresh.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(fresh.waitForFinished(60000) && fresh.exitCode() == 0);
            const QString output = QString::fromLatin1(fresh.readAllStandardOutput());
            orders << output.mid(output.indexOf("order:"));
        }
        QVERIFY(orders[0].count(' ') == 200 && orders[0] != orders[1]);
    }

    // Draws of `lead`, then the middles of the 200 slots in turn; a repeat is drawn again.
    void drawsWithASubstitutedSequence_data() {
        QTest::addColumn<QList<float>>("lead");
        QTest::addColumn<QList<int>>("expected");  // the draws, the last number drawn, then positions and their numbers
        const float five = 4.5f / 200.0f;
        QTest::newRow("lowest") << QList<float>{0.0f} << QList<int>{201, 200, 1, 1, 2, 2, 200, 200};
        QTest::newRow("highest") << QList<float>{std::nextafter(1.0f, 0.0f)} << QList<int>{200, 199, 1, 200, 2, 1, 200, 199};
        QTest::newRow("repeats") << QList<float>{five, five, five} << QList<int>{203, 200, 1, 5, 2, 1, 5, 4, 6, 6, 200, 200};
    }
    void drawsWithASubstitutedSequence() {
        QFETCH(QList<float>, lead);
        QFETCH(QList<int>, expected);
        int calls = 0;
        runtime::SubstituteRandomSequence([&] {
            const int k = calls++;
            return k < lead.size() ? lead[k] : (float((k - lead.size()) % 200) + 0.5f) / 200.0f;
        });
        OpenLevel(0);
        QVERIFY(IsPermutation());
        for (int i = 2; i < expected.size(); i += 2) QCOMPARE(QuestionOrder(expected[i]).value(), expected[i + 1]);
        QVERIFY(calls == expected[0] && RandomNo.value() == expected[1] && ScanNo.value() == 200 && QuestionNo.value() == 0);
    }

    // A whole pass by mouse and keys: each question once, marks, captions, enabled states, faces,
    // beeps, what is announced and where; then the completion, after which only Exit acts.
    void wholePass_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("allRight");
        for (int i = 0; i < 6; ++i) QTest::addRow("Level %d%s", std::min(i, 4) + 1, i < 5 ? "" : ", all right") << std::min(i, 4) << (i == 5);
    }
    void wholePass() {
        QFETCH(int, index);
        QFETCH(bool, allRight);
        QRandomGenerator chooser(20261205 + index);
        LevelWindow* w = OpenLevel(index);
        QSet<int> shown;
        int marks = 0;
        QString marksText;
        for (int press = 1; press <= 200; ++press) {
            const bool byKey = chooser.bounded(4) == 0;
            std::size_t before = said.size();
            byKey ? AccessKey(w, press == 1 ? 's' : 'n') : Click(w->ui.cmdNext);
            const int number = QuestionOrder(press).value();
            QVERIFY(QuestionNo.value() == press && !shown.contains(number));
            shown.insert(number);
            QVERIFY(w->ui.Label10->text() == QString::number(press) && w->ui.cmdNext->text() == QStringLiteral("&Next"));
            QVERIFY(w->ui.Label14->text().isEmpty() && w->ui.Label11->text() == marksText);
            QVERIFY(!w->ui.cmdNext->isEnabled() && !Idle(w) && FaceShown(w) == Face::None);
            ExpectShowing(w, number);
            QCOMPARE(SaidOnce(before).message, QStringLiteral("Question %1. %2").arg(press).arg(w->ui.Text1->text()));
            QCOMPARE(said.back().control->window(), static_cast<QWidget*>(w));
            const int correct = CorrectOption.value(), beeps = runtime::BeepCount();
            const int answer = allRight ? correct : int(chooser.bounded(1, 5));
            before = said.size();
            byKey ? AccessKey(w, char('0' + answer)) : Click(AnswerButton(w, answer));
            if (answer == correct) marksText = QString::number(++marks);
            QVERIFY(Marks.value() == marks && runtime::BeepCount() - beeps == (answer == correct ? 1 : 0));
            QVERIFY(w->ui.Label11->text() == marksText && w->ui.Label14->text() == QString::number(correct));
            QCOMPARE(FaceShown(w), answer == correct ? Face::Right : Face::Wrong);
            QVERIFY(w->ui.cmdNext->isEnabled() && Idle(w));
            QCOMPARE(SaidOnce(before).message, answer == correct ? QStringLiteral("Right answer. Marks Obtained %1").arg(marks)
                                                                 : QStringLiteral("Wrong answer. Correct Answer %1, %2")
                                                                       .arg(correct).arg(Text(Record(w, number).OptionText(correct))));
            Click(AnswerButton(w, correct));  // a second answer is not taken
            QCOMPARE(Marks.value(), marks);
        }
        QVERIFY(shown.size() == 200 && (!allRight || w->ui.Label11->text() == QStringLiteral("200")));
        const QString lastQuestion = w->ui.Text1->text(), lastCorrect = w->ui.Label14->text();
        said.clear();
        AccessKey(w, 'n');  // press 201 completes the level
        const QString completed = QStringLiteral("Level %1 completed").arg(index + 1);
        QVERIFY(QuestionNo.value() == 201 && SaidOnce(0).message == completed && w->ui.lblcomplete->text() == completed);
        QVERIFY(!w->ui.cmdNext->isEnabled() && Idle(w) && w->ui.cmdQuit->isEnabled() && FaceShown(w) == Face::None);
        QVERIFY(Unavailable(w->ui.cmdNext) && Unavailable(w->ui.Command1));
        QVERIFY(w->ui.Label10->text() == QStringLiteral("200") && w->ui.Label14->text() == lastCorrect);
        QVERIFY(w->ui.Text1->text() == lastQuestion && Name(w->ui.Text1) == QStringLiteral("Question 200"));
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.Text1));
        AccessKey(w, 'n');  // completed stays completed, and says nothing more
        Click(w->ui.Command1);
        QVERIFY(QuestionNo.value() == 201 && Marks.value() == marks && said.size() == 1);
        ExpectLeaving(w, index, index % 2);
    }

    void keyboardAlonePlaysALevel() {
        LevelWindow* w = OpenLevel(2);
        AccessKey(w, '1');  // locked before Start
        AccessKey(w, 'n');  // the button reads Start: N is not its key yet
        QVERIFY(QuestionNo.value() == 0 && FaceShown(w) == Face::None);
        AccessKey(w, 's');
        AccessKey(w, char('0' + CorrectOption.value()));
        AccessKey(w, char('0' + CorrectOption.value()));  // locked after the answer
        QCOMPARE(Marks.value(), 1);
        // Tab reaches Exit, first of the pair here; an access key leaves the focus, and the news, there.
        QTest::keyClick(w, Qt::Key_Tab);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.cmdQuit));
        std::size_t before = said.size();
        AccessKey(w, 'n');
        AccessKey(w, 'n');  // locked until answered
        QCOMPARE(QuestionNo.value(), 2);
        QCOMPARE(SaidOnce(before).control.data(), static_cast<QWidget*>(w->ui.cmdQuit));
        // Space on a button that the press locks: the news goes to that button while no
        // control has the focus; only then does the focus rest on what the press unlocked.
        QTest::keyClick(w, Qt::Key_Backtab);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.Command4));
        for (QWidget* unlocked : {static_cast<QWidget*>(w->ui.cmdNext), static_cast<QWidget*>(w->ui.Command1)}) {
            QWidget* pressed = w->focusWidget();
            before = said.size();
            QTest::keyClick(pressed, Qt::Key_Space);
            QCoreApplication::processEvents();
            QVERIFY(SaidOnce(before).control.data() == pressed && SaidOnce(before).focus.data() == nullptr);
            QCOMPARE(w->focusWidget(), unlocked);
        }
        QTest::keyClick(w, Qt::Key_Backtab);  // back on the question: shown, not selected
        QVERIFY(w->focusWidget() == w->ui.Text1 && !w->ui.Text1->hasSelectedText());
        ExpectLeaving(w, 2, true);  // a question on show
    }

    void keysPressedInQuickSuccession() {
        // Each access key acts in the state the keys before it left, even before a press is drawn.
        LevelWindow* w = OpenLevel(0);
        QTest::keyClick(w, 's', Qt::AltModifier);
        const int correct = CorrectOption.value(), beeps = runtime::BeepCount();
        QTest::keyClick(w, char('0' + correct), Qt::AltModifier);
        QTest::keyClick(w, char('0' + correct % 4 + 1), Qt::AltModifier);  // locked by the answer before it
        QTest::keyClick(w, 'n', Qt::AltModifier);
        const int second = CorrectOption.value();
        QTest::keyClick(w, char('0' + second % 4 + 1), Qt::AltModifier);
        QTest::keyClick(w, char('0' + second), Qt::AltModifier);  // locked by the wrong answer
        QTest::qWait(300);
        QVERIFY(QuestionNo.value() == 2 && Marks.value() == 1 && runtime::BeepCount() == beeps + 1);
        QVERIFY(w->ui.Label11->text() == QStringLiteral("1") && w->ui.Label14->text() == QString::number(second));
        QVERIFY(FaceShown(w) == Face::Wrong && said.size() == 4);
        ExpectLeaving(w, 0, false);  // answered
    }

    void windowsShareOneQuizState() {
        LevelWindow* one = OpenLevel(0);
        for (int press = 0; press < 3; ++press) {
            Click(one->ui.cmdNext);
            Click(AnswerButton(one, CorrectOption.value()));
        }
        LevelWindow* two = OpenLevel(1);  // a fresh order and count for both
        QVERIFY(QuestionNo.value() == 0 && Marks.value() == 0);
        one->activateWindow();
        Click(one->ui.cmdNext);
        ExpectShowing(one, QuestionOrder(1).value());
        QVERIFY(one->ui.Label10->text() == QStringLiteral("1") && one->ui.Label11->text() == QStringLiteral("3"));  // its own count
        // An answer is judged by the question shown last anywhere, spoken with the window's own option.
        Click(two->ui.cmdNext);
        ExpectShowing(two, QuestionOrder(2).value());
        const int correct = CorrectOption.value();
        const std::size_t before = said.size();
        Click(AnswerButton(one, correct % 4 + 1));
        QCOMPARE(SaidOnce(before).control->window(), static_cast<QWidget*>(one));
        QCOMPARE(SaidOnce(before).message, QStringLiteral("Wrong answer. Correct Answer %1, %2")
                                               .arg(correct).arg(Text(Record(one, QuestionOrder(1).value()).OptionText(correct))));
        Click(AnswerButton(two, correct));
        QVERIFY(Marks.value() == 1 && two->ui.Label11->text() == QStringLiteral("1"));
        QVERIFY(FaceShown(two) == Face::Right && FaceShown(one) == Face::Wrong && one->ui.Label14->text() == QString::number(correct));
        Click(one->ui.cmdQuit);  // leaving one leaves the other as it is
        QVERIFY(frmgk1.IsLoaded() && two->ui.cmdNext->isEnabled());
        // At completion each window takes the counter one step past 200, and no further.
        LevelWindow* three = OpenLevel(3);
        for (int press = 1; press <= 201; ++press) {
            Click(three->ui.cmdNext);
            Click(three->ui.Command1);
        }
        Click(two->ui.cmdNext);
        QVERIFY(QuestionNo.value() == 202 && two->ui.lblcomplete->text() == QStringLiteral("Level 2 completed"));
        Click(two->ui.cmdNext);
        QVERIFY(QuestionNo.value() == 202 && Errors().empty());
    }

    void pressThatEndsTheProgramSaysNothing() {
        Click(OpenLevel(0)->ui.cmdNext);
        Marks = 32767;
        Click(AnswerButton(&*frmgk, CorrectOption.value()));
        QVERIFY(Errors().size() == 1 && runtime::HasEnded() && said.size() == 1);  // the Start only
    }

    void textsAreShownAsStored() {
        LevelWindow* w = OpenLevel(4);
        bank::ShowQuestion(w->QuestionSlots(), 200);
        QCOMPARE(w->ui.Label7->text(), QStringLiteral(" 1,9 1,79 1 Sq.Km"));
        QCOMPARE(w->ui.Label8->text(), QStringLiteral("38,863   Sq.Km"));
        const QFontMetrics metrics = w->ui.Label8->fontMetrics();
        QVERIFY2(Inked(w->ui.Label7).first >= metrics.horizontalAdvance(QLatin1Char(' ')) - 1, "leading blank lost");
        QVERIFY(std::abs(Inked(w->ui.Label8).second - metrics.horizontalAdvance(w->ui.Label8->text())) <= 3);
        // Every question and option fits its control, but the design's own longest option.
        QStringList cut;
        for (int index = 0; index < 5; ++index) {
            LevelWindow* l = OpenLevel(index);
            QLabel* labels[] = {l->ui.Label6, l->ui.Label7, l->ui.Label8, l->ui.Label9};
            const int room = l->ui.Text1->contentsRect().width() - 2 * l->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            for (int n = 1; n <= 200; ++n) {
                bank::ShowQuestion(l->QuestionSlots(), n);
                const QString where = QStringLiteral("level %1 number %2").arg(index + 1).arg(n);
                if (l->ui.Text1->fontMetrics().horizontalAdvance(l->ui.Text1->text()) > room) cut << where;
                for (int o = 0; o < 4; ++o)
                    if (labels[o]->fontMetrics().horizontalAdvance(labels[o]->text()) > labels[o]->width())
                        cut << where + QStringLiteral(" option %1").arg(o + 1);
            }
        }
        QCOMPARE(cut, QStringList{QStringLiteral("level 3 number 130 option 3")});
        QCOMPARE(frmgk2->ui.Label8->width(), runtime::PixelsFromTwips(4140));  // the label does not grow
    }

    void nothingASightedPlayerSeesChanges() {
        // The same play twice from the same order, once without the window's accessible layer.
        std::vector<QImage> seen[2];
        for (auto& pictures : seen) {
            ResetProgram();
            StartProgram();
            runtime::SubstituteRandomSequence([slot = 0]() mutable { return (float(slot = (slot + 37) % 200) + 0.5f) / 200.0f; });
            LevelWindow* w = OpenLevel(3);
            if (&pictures == &seen[1]) delete w->findChild<LevelAccessibility*>();
            for (char key : {'s', 'r', '\t', 'n', 'w', '\0'}) {
                pictures.push_back(w->grab().toImage());
                const char option = char('0' + (key == 'r' ? CorrectOption.value() : CorrectOption.value() % 4 + 1));
                if (key == '\t') QTest::keyClick(w, Qt::Key_Tab);
                else if (key) AccessKey(w, key == 'r' || key == 'w' ? option : key);
            }
        }
        QVERIFY(seen[0] == seen[1]);
    }
};

QTEST_MAIN(LevelTest)
#include "test_level.moc"
