// The level window: its design in all five levels, the shuffle, a whole pass with any mix
// of answers, the states of its controls, leaving, and several windows sharing one quiz.

#include "Harness.h"
#include "bank/Levels.h"
#include "runtime/Beep.h"

#include <QGroupBox>
#include <QLabel>
#include <QRandomGenerator>
#include <QStyle>
#include <QSet>
#include <cmath>
#include <limits>

using harness::Px;
using harness::TextColour;

namespace {

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// One row of the Level 1 design: control, container, geometry in twips, font, tab index.
struct Row {
    const char* name;
    const char* container;
    int left, top, width, height;
    const char* family;  // nullptr: the default font
    double points;
    int weight;
    bool italic;
};

const Row Design[] = {
    {"Label5", "frmgk", 3000, 120, 3765, 810, "Times New Roman", 36, 700, true},
    {"Label12", "frmgk", 7680, 360, 1815, 375, "Bookman Old Style", 15.75, 600, false},
    {"Text1", "frmgk", 120, 1050, 9375, 285, "Times New Roman", 9.75, 700, false},
    {"Frame1", "frmgk", 120, 1440, 9375, 1815, nullptr, 8.25, 400, false},
    {"Label6", "Frame1", 480, 480, 4140, 255, "Times New Roman", 9.75, 700, false},
    {"Label7", "Frame1", 5040, 480, 4140, 255, "Times New Roman", 9.75, 700, false},
    {"Label8", "Frame1", 480, 1200, 4140, 255, "Times New Roman", 9.75, 700, false},
    {"Label9", "Frame1", 5040, 1200, 4140, 255, "Times New Roman", 9.75, 700, false},
    {"Command1", "frmgk", 240, 1920, 255, 255, "MS Sans Serif", 8.25, 700, false},
    {"Command2", "frmgk", 4800, 1920, 255, 255, "MS Sans Serif", 8.25, 700, false},
    {"Command3", "frmgk", 240, 2640, 255, 255, "MS Sans Serif", 8.25, 700, false},
    {"Command4", "frmgk", 4800, 2640, 255, 255, "MS Sans Serif", 8.25, 700, false},
    {"Label3", "frmgk", 240, 3840, 1815, 255, "Times New Roman", 12, 700, false},
    {"Label10", "frmgk", 2160, 3840, 495, 255, "Times New Roman", 12, 700, false},
    {"Label4", "frmgk", 240, 4320, 1815, 255, "Times New Roman", 12, 700, false},
    {"Label11", "frmgk", 2160, 4320, 495, 255, "Times New Roman", 12, 700, false},
    {"Label13", "frmgk", 240, 4800, 1815, 255, "Times New Roman", 12, 700, false},
    {"Label14", "frmgk", 2160, 4800, 255, 255, "Times New Roman", 12, 700, false},
    {"Image1", "frmgk", 2760, 4200, 855, 735, nullptr, 0, 0, false},
    {"lblcomplete", "frmgk", 3840, 4320, 4000, 375, "MS Sans Serif", 13.5, 700, false},
    {"Image2", "frmgk", 240, 5160, 480, 480, nullptr, 0, 0, false},
    {"Image3", "frmgk", 1320, 5160, 480, 480, nullptr, 0, 0, false},
    {"Frame2", "frmgk", 3232, 5280, 3135, 855, nullptr, 8.25, 400, false},
    {"cmdNext", "Frame2", 120, 240, 1215, 495, "Times New Roman", 12, 700, false},
    {"cmdQuit", "Frame2", 1800, 240, 1215, 495, "Times New Roman", 12, 700, false},
};

// The per-level differences, written out from the design as the player sees them.
struct Difference {
    const char* form;
    const char* levelCaption;
    QColor levelColour;
    const char* levelFamily;
    int levelWeight;
    int levelWidth;
    QColor titleColour;
    int titleWidth;
    int completeHeight;
    QPoint right, wrong;
    bool nextFirst;
};

const Difference Differences[5] = {
    {"frmgk", "Level 1", {255, 0, 0}, "Bookman Old Style", 600, 1815, {0, 0, 255}, 3765, 375, {240, 5160}, {1320, 5160}, true},
    {"frmgk1", "Level 2", {0, 0, 255}, "Bookman Old Style", 600, 1695, {255, 128, 0}, 3375, 495, {240, 5160}, {1200, 5160}, false},
    {"frmgk2", "Level 3", {192, 64, 0}, "Bookman Old Style", 600, 1815, {128, 0, 0}, 3375, 495, {240, 5160}, {960, 5160}, false},
    {"frmgk3", "Level  4", {255, 0, 0}, "Times New Roman", 700, 1815, {0, 128, 0}, 3375, 495, {240, 5280}, {1080, 5280}, false},
    {"frmgk4", "Level  5", {0, 0, 192}, "Times New Roman", 700, 1815, {128, 0, 128}, 3375, 495, {240, 5280}, {1080, 5280}, false},
};

bool AnswersEnabled(LevelWindow* w) {
    const bool first = w->ui.Command1->isEnabled();
    for (int n = 2; n <= 4; ++n)
        if (harness::AnswerButton(w, n)->isEnabled() != first) qFatal("answer buttons disagree");
    return first;
}

enum class Face { None, Right, Wrong };
Face Verdict(LevelWindow* w) {
    const QPixmap p = w->ui.Image1->pixmap();
    if (p.isNull()) return Face::None;
    if (p.toImage() == w->ui.Image2->pixmap().toImage()) return Face::Right;
    if (p.toImage() == w->ui.Image3->pixmap().toImage()) return Face::Wrong;
    qFatal("Image1 shows neither face");
}

// The record a window must be showing for the number at the current position.
void ExpectShowing(LevelWindow* w, int number) {
    const bank::Question& q = bank::LevelTable(w->design.level)[static_cast<std::size_t>(number - 1)];
    QCOMPARE(w->ui.Text1->text(), Q(q.QuestionText));
    QCOMPARE(w->ui.Label6->text(), Q(q.OptionText(1)));
    QCOMPARE(w->ui.Label7->text(), Q(q.OptionText(2)));
    QCOMPARE(w->ui.Label8->text(), Q(q.OptionText(3)));
    QCOMPARE(w->ui.Label9->text(), Q(q.OptionText(4)));
    QCOMPARE(CorrectOption.value(), int(q.AnswerNumber));
}

bool IsPermutation() {
    QSet<int> seen;
    for (int p = 1; p <= 200; ++p) {
        const int n = QuestionOrder(p).value();
        if (n < 1 || n > 200 || seen.contains(n)) return false;
        seen.insert(n);
    }
    return QuestionOrder(0).value() == 0;
}

void ExpectWaiting(LevelWindow* w, int index) {
    QCOMPARE(QuestionNo.value(), 0);
    QCOMPARE(Marks.value(), 0);
    QVERIFY(IsPermutation());
    QCOMPARE(w->ui.cmdNext->text(), QStringLiteral("&Start"));
    QVERIFY(w->ui.cmdNext->isEnabled());
    QVERIFY(w->ui.cmdQuit->isEnabled());
    QVERIFY(!AnswersEnabled(w));
    QCOMPARE(w->ui.Text1->text(),
             QStringLiteral("Level %1 consists 200 Questions. Click on Start Button to start the Quiz").arg(index + 1));
    for (QLabel* l : {w->ui.Label6, w->ui.Label7, w->ui.Label8, w->ui.Label9, w->ui.Label10, w->ui.Label11,
                      w->ui.Label14, w->ui.lblcomplete})
        QCOMPARE(l->text(), QString());
    QCOMPARE(Verdict(w), Face::None);
    QVERIFY(w->ui.Image2->isHidden());
    QVERIFY(w->ui.Image3->isHidden());
}

// A substitute random sequence: `first`, then the middles of the 200 slots, round and round.
std::function<float()> Sequence(float first, int* calls) {
    return [first, calls]() mutable {
        const int k = (*calls)++;
        if (k == 0) return first;
        return (static_cast<float>((k - 1) % 200) + 0.5f) / 200.0f;
    };
}

// The first and last columns that a label inks, in its own pixels.
std::pair<int, int> InkColumns(QLabel* label) {
    const QImage image = label->grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

}  // namespace

class LevelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() {
        harness::ResetProgram();
        harness::StartProgram();
    }

    void layoutMatchesTheDesignInEveryLevel() {
        for (int i = 0; i < 5; ++i) {
            const Difference& d = Differences[i];
            LevelWindow* w = harness::OpenLevel(i);
            QCOMPARE(w->objectName(), QLatin1String(d.form));
            QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
            QCOMPARE(w->windowTitle(), QString());
            QCOMPARE(w->size(), QSize(640, 480));
            QCOMPARE(w->Left(), 2880.0f);
            QCOMPARE(w->Top(), 2160.0f);
            int controls = 0;
            for (const Row& row : Design) {
                auto* c = w->findChild<QWidget*>(QLatin1String(row.name));
                QVERIFY2(c, row.name);
                ++controls;
                const QString container = QLatin1String(row.container);
                QCOMPARE(c->parentWidget() == w ? QStringLiteral("frmgk") : c->parentWidget()->objectName(), container);
                QRect expected = Px(row.left, row.top, row.width, row.height);
                const QString name = QLatin1String(row.name);
                if (name == "Label12") expected.setWidth(runtime::PixelsFromTwips(d.levelWidth));
                if (name == "Label5") expected.setWidth(runtime::PixelsFromTwips(d.titleWidth));
                if (name == "lblcomplete") expected.setHeight(runtime::PixelsFromTwips(d.completeHeight));
                if (name == "Image2") expected.moveTopLeft(Px(d.right.x(), d.right.y(), 0, 0).topLeft());
                if (name == "Image3") expected.moveTopLeft(Px(d.wrong.x(), d.wrong.y(), 0, 0).topLeft());
                QCOMPARE(c->geometry(), expected);
                if (row.family || row.points > 0) {
                    c->ensurePolished();
                    const QFont f = c->font();
                    const char* family = name == "Label12" ? d.levelFamily : row.family;
                    if (family) QCOMPARE(f.family(), QLatin1String(family));
                    else QCOMPARE(f.family(), QStringLiteral("MS Sans Serif"));
                    QCOMPARE(f.pointSizeF(), row.points);
                    QCOMPARE(f.weight(), name == "Label12" ? d.levelWeight : row.weight);
                    QCOMPARE(f.italic(), row.italic);
                }
                const bool hidden = name == "Image2" || name == "Image3";
                QCOMPARE(c->isVisibleTo(w), !hidden);
            }
            QCOMPARE(controls, 25);
            QCOMPARE(w->ui.Label12->text(), QLatin1String(d.levelCaption));
            QCOMPARE(TextColour(w->ui.Label12), d.levelColour);
            QCOMPARE(TextColour(w->ui.Label5), d.titleColour);
            QCOMPARE(w->ui.Label5->text(), QStringLiteral("Tarvonix"));
            QCOMPARE(w->ui.Label5->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
            QCOMPARE(QColor(w->ui.Label5->grab().toImage().pixel(2, 2)), QColor(255, 255, 255));
            QCOMPARE(w->ui.Frame1->title(), QStringLiteral("Click The Correct  Answer"));
            QCOMPARE(w->ui.Frame2->title(), QString());
            QCOMPARE(w->ui.Label3->text(), QStringLiteral("Question Number"));
            QCOMPARE(w->ui.Label4->text(), QStringLiteral("Marks Obtained"));
            QCOMPARE(w->ui.Label13->text(), QStringLiteral("Correct Answer"));
            for (int n = 1; n <= 4; ++n) QCOMPARE(harness::AnswerButton(w, n)->text(), QStringLiteral("&%1").arg(n));
            QCOMPARE(w->ui.cmdQuit->text(), QStringLiteral("E&xit"));
            // The three captions fit on their one line.
            for (QLabel* l : {w->ui.Label3, w->ui.Label4, w->ui.Label13})
                QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
            // The faces: 32 by 32, transparent outside the face.
            for (auto* image : {w->ui.Image2, w->ui.Image3}) {
                const QImage face = image->pixmap().toImage();
                QCOMPARE(face.size(), QSize(32, 32));
                QCOMPARE(qAlpha(face.pixel(0, 0)), 0);
                QCOMPARE(qAlpha(face.pixel(16, 16)), 255);
            }
            QVERIFY(w->ui.Image2->pixmap().toImage() != w->ui.Image3->pixmap().toImage());
            // Tab order: Text1, the answer buttons, then Next and Exit in this level's order.
            for (auto* b : {w->ui.Command1, w->ui.Command2, w->ui.Command3, w->ui.Command4}) b->setEnabled(true);
            const QStringList walk = harness::TabWalk(w->ui.Text1);
            QStringList expectedWalk{"Text1", "Command1", "Command2", "Command3", "Command4"};
            expectedWalk << (d.nextFirst ? QStringList{"cmdNext", "cmdQuit"} : QStringList{"cmdQuit", "cmdNext"});
            QCOMPARE(walk, expectedWalk);
            harness::Click(w->ui.cmdQuit);
        }
    }

    void loadingWaitsToStartWithANewOrder() {
        for (int i = 0; i < 5; ++i) {
            CorrectOption = 3;
            LevelWindow* w = harness::OpenLevel(i);
            ExpectWaiting(w, i);
            QCOMPARE(QApplication::focusWidget(), w->ui.Text1);  // the window opens on its text
            QCOMPARE(CorrectOption.value(), 3);  // loading leaves it alone
            harness::Click(w->ui.cmdQuit);
        }
    }

    void reloadGivesAFreshOrder() {
        harness::OpenLevel(0);
        QVector<int> first;
        for (int p = 1; p <= 200; ++p) first << QuestionOrder(p).value();
        harness::Click(frmgk->ui.cmdQuit);
        harness::OpenLevel(0);
        QVector<int> second;
        for (int p = 1; p <= 200; ++p) second << QuestionOrder(p).value();
        QVERIFY(IsPermutation());
        QVERIFY(first != second);
    }

    void orderLooksUniform() {
        // Over many loads, every number comes first about equally often.
        QVector<int> firsts(201, 0);
        for (int i = 0; i < 2000; ++i) {
            frmgk.Load();
            ++firsts[QuestionOrder(1).value()];
            frmgk.Unload();
        }
        harness::FlushDeletes();
        for (int n = 1; n <= 200; ++n) QVERIFY2(firsts[n] < 40, "a number comes first far too often");
    }

    void drawBoundsWithASubstitutedSequence() {
        int calls = 0;
        runtime::SubstituteRandomSequence(Sequence(0.0f, &calls));
        harness::OpenLevel(0);
        QCOMPARE(QuestionOrder(1).value(), 1);
        QVERIFY(IsPermutation());
        harness::Click(frmgk->ui.cmdQuit);

        calls = 0;
        runtime::SubstituteRandomSequence(Sequence(std::nextafter(1.0f, 0.0f), &calls));
        harness::OpenLevel(0);
        QCOMPARE(QuestionOrder(1).value(), 200);
        QCOMPARE(RandomNo.value(), 199);  // the last draw accepted
        QVERIFY(IsPermutation());
    }

    void repeatsAreDrawnAgainAndTheScanRestarts() {
        // Draws: 5, 5, 5, then the slots in order. Both repeats of 5 are rejected.
        int calls = 0;
        runtime::SubstituteRandomSequence([&calls]() -> float {
            const int k = calls++;
            if (k < 3) return 4.5f / 200.0f;
            return (static_cast<float>((k - 3) % 200) + 0.5f) / 200.0f;
        });
        harness::OpenLevel(0);
        QCOMPARE(QuestionOrder(1).value(), 5);
        QCOMPARE(QuestionOrder(2).value(), 1);
        QCOMPARE(QuestionOrder(5).value(), 4);
        QCOMPARE(QuestionOrder(6).value(), 6);
        QCOMPARE(QuestionOrder(200).value(), 200);
        // One draw per position, two rejected repeats of 5, one rejected 5 in the slots.
        QCOMPARE(calls, 200 + 2 + 1);
        QCOMPARE(ScanNo.value(), 200);
        QCOMPARE(QuestionNo.value(), 0);
    }

    void wholePassInEveryLevel() {
        QRandomGenerator chooser(20261205);
        for (int i = 0; i < 5; ++i) {
            LevelWindow* w = harness::OpenLevel(i);
            QSet<int> shown;
            int expectedMarks = 0;
            QString lastMarksText;
            const int beepsBefore = runtime::BeepCount();
            for (int press = 1; press <= 200; ++press) {
                harness::Click(w->ui.cmdNext);
                QCOMPARE(QuestionNo.value(), press);
                const int number = QuestionOrder(press).value();
                QVERIFY(!shown.contains(number));
                shown.insert(number);
                // Question on show, not yet answered.
                QCOMPARE(w->ui.Label10->text(), QString::number(press));
                QCOMPARE(w->ui.Label14->text(), QString());
                QCOMPARE(w->ui.cmdNext->text(), QStringLiteral("&Next"));
                QVERIFY(!w->ui.cmdNext->isEnabled());
                QVERIFY(AnswersEnabled(w));
                QCOMPARE(Verdict(w), Face::None);
                QCOMPARE(w->ui.Label11->text(), lastMarksText);
                ExpectShowing(w, number);
                // Answered.
                const int correct = CorrectOption.value();
                const int answer = static_cast<int>(chooser.bounded(1, 5));
                harness::Click(harness::AnswerButton(w, answer));
                if (answer == correct) {
                    ++expectedMarks;
                    lastMarksText = QString::number(expectedMarks);
                }
                QCOMPARE(Marks.value(), expectedMarks);
                QCOMPARE(w->ui.Label11->text(), lastMarksText);
                QCOMPARE(w->ui.Label14->text(), QString::number(correct));
                QCOMPARE(Verdict(w), answer == correct ? Face::Right : Face::Wrong);
                QVERIFY(!AnswersEnabled(w));
                QVERIFY(w->ui.cmdNext->isEnabled());
                QCOMPARE(w->ui.cmdNext->text(), QStringLiteral("&Next"));
                // A second answer is not taken.
                harness::Click(harness::AnswerButton(w, correct));
                QCOMPARE(Marks.value(), expectedMarks);
            }
            QCOMPARE(shown.size(), 200);
            QCOMPARE(runtime::BeepCount() - beepsBefore, expectedMarks);
            // Press 201 completes the level.
            const QString lastQuestion = w->ui.Text1->text();
            const QString lastCorrect = w->ui.Label14->text();
            harness::Click(w->ui.cmdNext);
            QCOMPARE(QuestionNo.value(), 201);
            QCOMPARE(w->ui.lblcomplete->text(), QStringLiteral("Level %1 completed").arg(i + 1));
            QVERIFY(!w->ui.cmdNext->isEnabled());
            QVERIFY(!AnswersEnabled(w));
            QVERIFY(w->ui.cmdQuit->isEnabled());
            QCOMPARE(Verdict(w), Face::None);
            QCOMPARE(w->ui.Label10->text(), QStringLiteral("200"));
            QCOMPARE(w->ui.Label14->text(), lastCorrect);
            QCOMPARE(w->ui.Text1->text(), lastQuestion);
            // Completed stays completed.
            harness::Click(w->ui.cmdNext);
            harness::Click(w->ui.Command1);
            QCOMPARE(QuestionNo.value(), 201);
            QCOMPARE(Marks.value(), expectedMarks);
            harness::Click(w->ui.cmdQuit);
            QVERIFY(!harness::LevelForms()[i]->IsLoaded());
        }
    }

    void allRightGivesTwoHundred() {
        LevelWindow* w = harness::OpenLevel(4);
        for (int press = 1; press <= 200; ++press) {
            harness::Click(w->ui.cmdNext);
            harness::Click(harness::AnswerButton(w, CorrectOption.value()));
        }
        QCOMPARE(w->ui.Label11->text(), QStringLiteral("200"));
        QCOMPARE(Marks.value(), 200);
    }

    void wrongAnswersNeverWriteTheMarks() {
        LevelWindow* w = harness::OpenLevel(1);
        for (int press = 1; press <= 5; ++press) {
            harness::Click(w->ui.cmdNext);
            const int beeps = runtime::BeepCount();
            harness::Click(harness::AnswerButton(w, CorrectOption.value() % 4 + 1));
            QCOMPARE(runtime::BeepCount(), beeps);
            QCOMPARE(w->ui.Label11->text(), QString());
            QCOMPARE(Marks.value(), 0);
        }
    }

    void keyboardAlonePlaysALevel() {
        LevelWindow* w = harness::OpenLevel(2);
        harness::AccessKey(w, '1');  // locked before Start
        QCOMPARE(Verdict(w), Face::None);
        harness::AccessKey(w, 'n');  // the button reads Start: N is not its key yet
        QCOMPARE(QuestionNo.value(), 0);
        harness::AccessKey(w, 's');
        QCOMPARE(QuestionNo.value(), 1);
        // Access keys leave the focus on the question box.
        QCOMPARE(w->focusWidget(), w->ui.Text1);
        const int correct = CorrectOption.value();
        harness::AccessKey(w, char('0' + correct));
        QCOMPARE(Marks.value(), 1);
        QCOMPARE(Verdict(w), Face::Right);
        QCOMPARE(w->focusWidget(), w->ui.Text1);
        // Tab from the question reaches the one enabled button of the pair first in this level.
        QTest::keyClick(w, Qt::Key_Tab);
        QCOMPARE(w->focusWidget(), w->ui.cmdQuit);
        harness::AccessKey(w, char('0' + correct));  // locked after the answer
        QCOMPARE(Marks.value(), 1);
        harness::AccessKey(w, 'n');
        QCOMPARE(QuestionNo.value(), 2);
        harness::AccessKey(w, 'n');  // locked until answered
        QCOMPARE(QuestionNo.value(), 2);
        harness::AccessKey(w, char('0' + (CorrectOption.value() % 4 + 1)));
        QCOMPARE(Verdict(w), Face::Wrong);
        harness::AccessKey(w, 'x');
        QVERIFY(!frmgk2.IsLoaded());
    }

    void keysPressedInQuickSuccession() {
        // A player who types faster than a button's press is drawn: each access key acts in
        // the state the keys before it left, and a button locked by the press before it
        // ignores its key.
        LevelWindow* w = harness::OpenLevel(0);
        QTest::keyClick(w, 's', Qt::AltModifier);
        const int correct = CorrectOption.value();
        const int wrong = correct % 4 + 1;
        const int beeps = runtime::BeepCount();
        QTest::keyClick(w, char('0' + correct), Qt::AltModifier);
        QTest::keyClick(w, char('0' + wrong), Qt::AltModifier);  // locked by the answer before it
        QCOMPARE(Verdict(w), Face::Right);
        QTest::keyClick(w, 'n', Qt::AltModifier);                // unlocked by that answer
        const int second = CorrectOption.value();
        QTest::keyClick(w, char('0' + second % 4 + 1), Qt::AltModifier);
        QTest::keyClick(w, char('0' + second), Qt::AltModifier);  // locked by the wrong answer
        QTest::qWait(300);
        QCOMPARE(QuestionNo.value(), 2);
        QCOMPARE(Marks.value(), 1);
        QCOMPARE(runtime::BeepCount(), beeps + 1);
        QCOMPARE(w->ui.Label11->text(), QStringLiteral("1"));
        QCOMPARE(Verdict(w), Face::Wrong);
        QCOMPARE(w->ui.Label14->text(), QString::number(second));
        QVERIFY(w->ui.cmdNext->isEnabled());
    }

    void exitInEveryState() {
        enum Step { Waiting, OnShow, Answered, Completed };
        for (int step = Waiting; step <= Completed; ++step) {
            LevelWindow* w = harness::OpenLevel(1);
            if (step >= OnShow) harness::Click(w->ui.cmdNext);
            if (step >= Answered) harness::Click(w->ui.Command1);
            if (step == Completed) {
                for (int press = 2; press <= 200; ++press) {
                    harness::Click(w->ui.cmdNext);
                    harness::Click(w->ui.Command2);
                }
                harness::Click(w->ui.cmdNext);
                QCOMPARE(w->ui.lblcomplete->text(), QStringLiteral("Level 2 completed"));
            }
            const int marks = Marks.value();
            const int number = QuestionNo.value();
            harness::Click(w->ui.cmdQuit);
            QVERIFY(!frmgk1.IsLoaded());
            QVERIFY(w->isHidden());
            QCOMPARE(Marks.value(), marks);  // leaving touches no quiz state
            QCOMPARE(QuestionNo.value(), number);
            QVERIFY(frmTarvonix->isVisible());
            QCOMPARE(QApplication::activeWindow(), frmTarvonix.window());  // the menu is in front again
            QVERIFY(!runtime::HasEnded());
            harness::FlushDeletes();
            // Choosing it again starts a fresh pass.
            LevelWindow* again = harness::OpenLevel(1);
            ExpectWaiting(again, 1);
            harness::Click(again->ui.cmdQuit);
        }
    }

    void twoWindowsShareOneQuizState() {
        LevelWindow* one = harness::OpenLevel(0);
        for (int press = 0; press < 3; ++press) {
            harness::Click(one->ui.cmdNext);
            harness::Click(harness::AnswerButton(one, CorrectOption.value()));
        }
        QCOMPARE(Marks.value(), 3);
        LevelWindow* two = harness::OpenLevel(1);
        QCOMPARE(QuestionNo.value(), 0);
        QCOMPARE(Marks.value(), 0);
        QVERIFY(IsPermutation());
        // Level 1 goes on from position 1 of the new order, with its own questions.
        one->activateWindow();
        harness::Click(one->ui.cmdNext);
        QCOMPARE(one->ui.Label10->text(), QStringLiteral("1"));
        ExpectShowing(one, QuestionOrder(1).value());
        QCOMPARE(one->ui.Label11->text(), QStringLiteral("3"));  // its own label keeps the old count
        // An answer in either window is judged against the question shown last anywhere.
        harness::Click(two->ui.cmdNext);
        QCOMPARE(QuestionNo.value(), 2);
        ExpectShowing(two, QuestionOrder(2).value());
        const int correct = CorrectOption.value();
        harness::Click(harness::AnswerButton(one, correct));
        QCOMPARE(Marks.value(), 1);
        QCOMPARE(one->ui.Label11->text(), QStringLiteral("1"));
        QCOMPARE(one->ui.Label14->text(), QString::number(correct));
        QCOMPARE(Verdict(one), Face::Right);
        QCOMPARE(two->ui.Label11->text(), QString());
        QCOMPARE(Verdict(two), Face::None);
        // Leaving one leaves the other as it is.
        harness::Click(one->ui.cmdQuit);
        QVERIFY(frmgk1.IsLoaded());
        QVERIFY(AnswersEnabled(two));
    }

    void blanksAreShownAsStored() {
        LevelWindow* w = harness::OpenLevel(4);
        bank::ShowQuestion(w->QuestionSlots(), 200);
        QCOMPARE(w->ui.Label7->text(), QStringLiteral(" 1,9 1,79 1 Sq.Km"));
        QCOMPARE(w->ui.Label8->text(), QStringLiteral("38,863   Sq.Km"));
        QCOMPARE(CorrectOption.value(), 3);
        const QFontMetrics metrics = w->ui.Label8->fontMetrics();
        // A leading blank moves the text right by one blank.
        const auto [leadFirst, leadLast] = InkColumns(w->ui.Label7);
        QVERIFY2(leadFirst >= metrics.horizontalAdvance(QLatin1Char(' ')) - 1, "leading blank not drawn");
        // Three blanks stay three blanks: the text is as wide as measured with all of them.
        const auto [first, last] = InkColumns(w->ui.Label8);
        const int inked = last - first + 1;
        const int wide = metrics.horizontalAdvance(QStringLiteral("38,863   Sq.Km"));
        const int narrow = metrics.horizontalAdvance(QStringLiteral("38,863 Sq.Km"));
        QVERIFY2(std::abs(inked - wide) <= 3, qPrintable(QStringLiteral("inked %1, expected %2").arg(inked).arg(wide)));
        QVERIFY(wide - narrow >= 2 * metrics.horizontalAdvance(QLatin1Char(' ')) - 1);
        // A text too long for its label shows its first line only: the label does not grow.
        LevelWindow* three = harness::OpenLevel(2);
        bank::ShowQuestion(three->QuestionSlots(), 130);
        QCOMPARE(three->ui.Label8->text(), QStringLiteral("LARRY COLLINS AND DOMINIQUE LAPPIERRE"));
        QCOMPARE(three->ui.Label8->size(), Px(0, 0, 4140, 255).size());
    }

    void everyRecordReadsWhole() {
        // Each question fits its one-line box and each option its label, in every level's
        // window, so no player meets a text cut short. The one exception is the design's own
        // longest option, which is wider than any option label.
        QStringList cut;
        for (int index = 0; index < 5; ++index) {
            LevelWindow* w = harness::OpenLevel(index);
            const QLabel* labels[] = {w->ui.Label6, w->ui.Label7, w->ui.Label8, w->ui.Label9};
            const int frame = w->ui.Text1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            const int room = w->ui.Text1->contentsRect().width() - 2 * frame;
            for (int n = 1; n <= 200; ++n) {
                bank::ShowQuestion(w->QuestionSlots(), n);
                const QString where = QStringLiteral("level %1 number %2").arg(index + 1).arg(n);
                if (w->ui.Text1->fontMetrics().horizontalAdvance(w->ui.Text1->text()) > room) cut << where;
                for (int o = 0; o < 4; ++o)
                    if (labels[o]->fontMetrics().horizontalAdvance(labels[o]->text()) > labels[o]->width())
                        cut << where + QStringLiteral(" option %1").arg(o + 1);
            }
        }
        QCOMPARE(cut, QStringList{QStringLiteral("level 3 number 130 option 3")});
    }

    void correctOptionOutlivesTheWindowThatSetIt() {
        LevelWindow* w = harness::OpenLevel(3);
        harness::Click(w->ui.cmdNext);
        const int correct = CorrectOption.value();
        harness::Click(w->ui.cmdQuit);
        harness::OpenLevel(4);
        QCOMPARE(CorrectOption.value(), correct);
    }

    void secondWindowCanCarryTheCounterPastTheEnd() {
        // Two windows at completion each take the counter one step past 200, and no further.
        LevelWindow* one = harness::OpenLevel(0);
        LevelWindow* two = harness::OpenLevel(3);
        for (int press = 1; press <= 200; ++press) {
            harness::Click(two->ui.cmdNext);
            harness::Click(two->ui.Command1);
        }
        harness::Click(two->ui.cmdNext);
        QCOMPARE(QuestionNo.value(), 201);
        harness::Click(one->ui.cmdNext);
        QCOMPARE(QuestionNo.value(), 202);
        QCOMPARE(one->ui.lblcomplete->text(), QStringLiteral("Level 1 completed"));
        QCOMPARE(one->ui.Label10->text(), QString());
        harness::Click(one->ui.cmdNext);
        QCOMPARE(QuestionNo.value(), 202);
        QVERIFY(harness::Errors().empty());
    }

    void exitIsNotRunTwice() {
        LevelWindow* w = harness::OpenLevel(0);
        harness::Click(w->ui.cmdQuit);
        QVERIFY(!frmgk.IsLoaded());
        harness::OpenLevel(0);
        LevelWindow* fresh = &*frmgk;
        harness::Click(w->ui.cmdQuit);  // the old window's button: the form it unloads is gone
        QVERIFY(frmgk.IsLoaded());
        QCOMPARE(&*frmgk, fresh);
    }
};

QTEST_MAIN(LevelTest)
#include "test_level.moc"
