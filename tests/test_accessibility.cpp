// What a screen reader reads, through Qt's accessibility interfaces: the question box read
// whole, captions without their access-key mark, every level window's names, and what is
// announced after Start, Next, an answer and the last question, and to which control.

#include "Harness.h"
#include "bank/Levels.h"
#include "level/LevelAccessibility.h"
#include "runtime/Accessibility.h"
#include "runtime/Controls.h"

#include <QAccessible>
#include <QLabel>
#include <QPointer>

namespace {

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QAccessibleInterface* Accessible(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    if (!accessible) qFatal("no accessible interface");
    return accessible;
}
QString Name(QObject* object) { return Accessible(object)->text(QAccessible::Name); }
QString Description(QObject* object) { return Accessible(object)->text(QAccessible::Description); }
bool Unavailable(QObject* object) { return Accessible(object)->state().disabled; }

struct Said {
    QPointer<QWidget> control;
    QString message;
    QPointer<QWidget> focus;  // the control that had the focus then
};
std::vector<Said> said;

// The record on show in a window, from its level's table.
const bank::Question& OnShow(LevelWindow* w) {
    return bank::LevelTable(w->design.level)[static_cast<std::size_t>(QuestionOrder(QuestionNo).value() - 1)];
}

// The one thing said since `before`, with where it was said.
Said SaidOnce(std::size_t before) {
    if (said.size() != before + 1) qFatal("expected one announcement, got %d", int(said.size() - before));
    return said.back();
}

// Every answer button named by its number and option, the option as its description.
void ExpectOptionsNamed(LevelWindow* w, const bank::Question& q) {
    for (int n = 1; n <= 4; ++n) {
        const QString option = Q(q.OptionText(n));
        QCOMPARE(Name(harness::AnswerButton(w, n)), QString::number(n) + QStringLiteral(", ") + option);
        QCOMPARE(Description(harness::AnswerButton(w, n)), option);
        QVERIFY(!Unavailable(harness::AnswerButton(w, n)));
    }
}

// Shows a box as the level window shows its question: read-only, one line.
bool ShowReadOnly(runtime::TextBox& box, const QString& text) {
    box.setReadOnly(true);
    box.resize(400, 20);
    box.setText(text);
    box.show();
    return QTest::qWaitForWindowExposed(&box);
}

// A picture of a window as a sighted player sees it, focus and selection included.
QImage Seen(QWidget* w) { return w->grab().toImage(); }

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        harness::PrepareSuite();
        runtime::SetAnnouncer([](QWidget* control, const QString& message) { said.push_back({control, message, QApplication::focusWidget()}); });
    }

    // The session bus is opened early only where that is a plain connection: a bus that
    // may have to be started is left to the toolkit, on the main thread.
    void sessionBusOpenedEarlyOnlyWhereItIsReachedByConnecting_data() {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<bool>("early");
        QTest::newRow("a desktop's bus") << QByteArray("unix:path=/run/user/1000/bus") << true;
        QTest::newRow("dbus-launch's") << QByteArray("unix:abstract=/tmp/dbus-X,guid=00ff") << true;
        QTest::newRow("over the network") << QByteArray("tcp:host=localhost,port=4000") << true;
        QTest::newRow("two plain ways") << QByteArray("unix:path=/a;tcp:host=b,port=1") << true;
        QTest::newRow("no bus named") << QByteArray() << false;
        QTest::newRow("blank") << QByteArray("  ") << false;
        QTest::newRow("started on demand") << QByteArray("autolaunch:") << false;
        QTest::newRow("started if the first fails") << QByteArray("unix:path=/a;autolaunch:") << false;
        QTest::newRow("a program run for it") << QByteArray("unixexec:path=/usr/bin/dbus-stdio") << false;
    }
    void sessionBusOpenedEarlyOnlyWhereItIsReachedByConnecting() {
        QFETCH(QByteArray, address);
        QFETCH(bool, early);
        QCOMPARE(runtime::OpensSessionBusEarly(address), early);
    }
    void cleanupTestCase() { runtime::SetAnnouncer({}); }
    void init() {
        harness::ResetProgram();
        harness::StartProgram();
        said.clear();
    }

    void textBoxIsReadWholeBlanksAndAll() {
        runtime::TextBox box;
        QVERIFY(ShowReadOnly(box, QStringLiteral("  WHO  WROTE GITANJALI ")));
        QAccessibleInterface* accessible = Accessible(&box);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QVERIFY(accessible->state().readOnly);
        QCOMPARE(accessible->text(QAccessible::Value), box.text());
        QAccessibleTextInterface* text = accessible->textInterface();
        QVERIFY(text);
        const int count = text->characterCount();
        QCOMPARE(count, int(box.text().size()));
        QCOMPARE(text->text(0, -1), box.text());
        QCOMPARE(text->text(2, 5), QStringLiteral("WHO"));
        // A screen reader rebuilds the line from its attribute runs: each run must reach
        // the last character.
        for (int offset = 0; offset <= count; ++offset) {
            int start = -1, end = -1;
            text->attributes(offset, &start, &end);
            QCOMPARE(start, 0);
            QCOMPARE(end, count);
        }
        int start = -1, end = -1;
        QCOMPARE(text->textAtOffset(count - 1, QAccessible::LineBoundary, &start, &end), box.text());
        QCOMPARE(end, count);
    }

    void textBoxCharactersTileTheLineOnScreen() {
        runtime::TextBox box;
        QVERIFY(ShowReadOnly(box, QStringLiteral("AB  C")));
        QAccessibleTextInterface* text = Accessible(&box)->textInterface();
        const QRect boxOnScreen(box.mapToGlobal(QPoint(0, 0)), box.size());
        QRect previous;
        for (int offset = 0; offset < text->characterCount(); ++offset) {
            const QRect r = text->characterRect(offset);
            QVERIFY(!r.isEmpty());
            QVERIFY(boxOnScreen.contains(r));
            if (offset > 0) {
                QCOMPARE(r.left(), previous.right() + 1);
                QCOMPARE(r.top(), previous.top());
            }
            QCOMPARE(text->offsetAtPoint(r.center()), offset);
            previous = r;
        }
        QVERIFY(text->characterRect(text->characterCount()).isEmpty());
        QCOMPARE(text->offsetAtPoint(boxOnScreen.bottomRight() + QPoint(5, 5)), -1);
        // The characters stay where they are drawn wherever the text cursor stands.
        const QRect atStart = text->characterRect(3);
        box.setCursorPosition(3);
        QCOMPARE(text->cursorPosition(), 3);
        QCOMPARE(text->characterRect(3), atStart);
    }

    void captionsAreSpokenWithoutTheirAccessKeyMark() {
        QCOMPARE(runtime::SpokenCaption(QStringLiteral("E&xit")), QStringLiteral("Exit"));
        QCOMPARE(runtime::SpokenCaption(QStringLiteral("Level  &1")), QStringLiteral("Level  1"));
        QCOMPARE(runtime::SpokenCaption(QStringLiteral("A && B")), QStringLiteral("A & B"));
        QCOMPARE(runtime::SpokenCaption(QStringLiteral("&")), QString());
        // The menu and the About box, as a screen reader names them.
        QCOMPARE(Name(frmTarvonix.window()), QStringLiteral("Tarvonix"));
        const QStringList menu = {QStringLiteral("Level  1"), QStringLiteral("Level  2"), QStringLiteral("Level  3"),
                                  QStringLiteral("Level  4"), QStringLiteral("Level  5"), QStringLiteral("Exit")};
        auto& m = frmTarvonix->ui;
        const QList<QAbstractButton*> buttons = {m.cmdLevel1, m.cmdLevel2, m.cmdLevel3, m.cmdLevel4, m.cmdLevel5, m.cmdExit};
        for (int i = 0; i < buttons.size(); ++i) QCOMPARE(Name(buttons[i]), menu[i]);
        harness::Click(m.cmdExit);
        QCOMPARE(Name(frmAbout.window()), QStringLiteral("About TARVONIX"));
        QCOMPARE(Name(frmAbout->ui.cmdOK), QStringLiteral("Ok"));
        QCOMPARE(Name(frmAbout->ui.lblVersion), QStringLiteral("Version 1.0.0"));
    }

    void everyLevelWindowIsNamedByItsLevel() {
        for (int i = 0; i < 5; ++i) {
            LevelWindow* w = harness::OpenLevel(i);
            QCOMPARE(Name(w), w->ui.Label12->text());  // "Level  4": the caption, blanks and all
            QCOMPARE(Name(w).simplified(), QStringLiteral("Level %1").arg(i + 1));
            QCOMPARE(w->windowTitle(), QString());     // nothing new on a taskbar
            QCOMPARE(Name(w->ui.Text1), QStringLiteral("Question"));
            QCOMPARE(Accessible(w->ui.Text1)->text(QAccessible::Value), w->ui.Text1->text());
            for (int n = 1; n <= 4; ++n) {
                QCOMPARE(Name(harness::AnswerButton(w, n)), QString::number(n));
                QCOMPARE(Description(harness::AnswerButton(w, n)), QString());
                QVERIFY(Unavailable(harness::AnswerButton(w, n)));  // locked until Start
            }
            QCOMPARE(Name(w->ui.cmdNext), QStringLiteral("Start"));
            QVERIFY(said.empty());  // opening a window is the screen reader's own to say
            harness::Click(w->ui.cmdQuit);
            QVERIFY(said.empty());  // neither is leaving it
        }
    }

    void startAndNextAnnounceTheQuestionWithItsNumber() {
        for (int i : {0, 3}) {
            LevelWindow* w = harness::OpenLevel(i);
            for (int press = 1; press <= 3; ++press) {
                if (press > 1) harness::AccessKey(w, '1');
                const std::size_t before = said.size();
                harness::AccessKey(w, press == 1 ? 's' : 'n');
                const Said s = SaidOnce(before);
                const QString number = QString::number(press);
                QCOMPARE(s.message, QStringLiteral("Question ") + number + QStringLiteral(". ") + Q(OnShow(w).QuestionText));
                QCOMPARE(s.control.data(), w->focusWidget());
                QCOMPARE(s.control.data(), static_cast<QWidget*>(w->ui.Text1));  // the question box keeps the focus
                QCOMPARE(Name(w->ui.Text1), QStringLiteral("Question ") + number);
                QCOMPARE(Accessible(w->ui.Text1)->textInterface()->text(0, -1), Q(OnShow(w).QuestionText));
                ExpectOptionsNamed(w, OnShow(w));
            }
            harness::Click(w->ui.cmdQuit);
        }
    }

    void answersAnnounceRightWithMarksAndWrongWithTheCorrectOption() {
        LevelWindow* w = harness::OpenLevel(1);
        harness::AccessKey(w, 's');
        // A right answer: the verdict and the new marks.
        std::size_t before = said.size();
        harness::AccessKey(w, char('0' + CorrectOption.value()));
        QCOMPARE(SaidOnce(before).message, QStringLiteral("Right answer. Marks Obtained 1"));
        QCOMPARE(SaidOnce(before).control.data(), w->focusWidget());
        for (int n = 1; n <= 4; ++n) QVERIFY(Unavailable(harness::AnswerButton(w, n)));
        QVERIFY(!Unavailable(w->ui.cmdNext));
        // A wrong answer: the verdict and the correct option's number and text.
        harness::Click(w->ui.cmdNext);
        const int correct = CorrectOption.value();
        const QString option = Q(OnShow(w).OptionText(correct));
        before = said.size();
        harness::Click(harness::AnswerButton(w, correct % 4 + 1));
        QCOMPARE(SaidOnce(before).message,
                 QStringLiteral("Wrong answer. Correct Answer ") + QString::number(correct) + QStringLiteral(", ") + option);
        // A second right answer counts on from the first.
        harness::Click(w->ui.cmdNext);
        before = said.size();
        harness::Click(harness::AnswerButton(w, CorrectOption.value()));
        QCOMPARE(SaidOnce(before).message, QStringLiteral("Right answer. Marks Obtained 2"));
    }

    void theLastNextAnnouncesTheCompletionText() {
        for (int i : {0, 4}) {
            LevelWindow* w = harness::OpenLevel(i);
            said.clear();
            for (int press = 1; press <= 200; ++press) {
                harness::Click(w->ui.cmdNext);
                harness::Click(harness::AnswerButton(w, press % 4 + 1));
            }
            QCOMPARE(said.size(), std::size_t{400});  // one announcement for each press
            said.clear();
            harness::AccessKey(w, 'n');
            QCOMPARE(SaidOnce(0).message, QStringLiteral("Level %1 completed").arg(i + 1));
            QCOMPARE(Name(w->ui.Text1), QStringLiteral("Question 200"));  // the last question stays on show
            QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.Text1));  // Next had it; nothing unlocked
            for (int n = 1; n <= 4; ++n) QVERIFY(Unavailable(harness::AnswerButton(w, n)));
            QVERIFY(Unavailable(w->ui.cmdNext));
            // Locked buttons say nothing more.
            harness::AccessKey(w, 'n');
            harness::AccessKey(w, '1');
            QCOMPARE(said.size(), std::size_t{1});
            harness::Click(w->ui.cmdQuit);
        }
    }

    void theNewsGoesWhereThePlayerIsBeforeTheFocusMovesOn() {
        // Level 3, where Exit comes before Next in Tab order. An access key leaves the focus
        // where it is: on Exit, which Tab from the question reaches once an answer has locked
        // the answer buttons.
        LevelWindow* w = harness::OpenLevel(2);
        harness::AccessKey(w, 's');
        harness::AccessKey(w, '1');
        QTest::keyClick(w, Qt::Key_Tab);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.cmdQuit));
        std::size_t before = said.size();
        harness::AccessKey(w, 'n');
        QCOMPARE(SaidOnce(before).control.data(), static_cast<QWidget*>(w->ui.cmdQuit));
        QVERIFY(SaidOnce(before).message.startsWith(QStringLiteral("Question 2. ")));
        // Space on a button that the press locks: the news goes to that button, where the
        // screen reader still is, while no control has the focus; only then does the focus
        // rest on what the press unlocked: Next after an answer, the first answer after Next.
        QTest::keyClick(w, Qt::Key_Backtab);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.Command4));
        for (QWidget* unlocked : {static_cast<QWidget*>(w->ui.cmdNext), static_cast<QWidget*>(w->ui.Command1)}) {
            QWidget* pressed = w->focusWidget();
            before = said.size();
            QTest::keyClick(pressed, Qt::Key_Space);
            QCoreApplication::processEvents();
            QCOMPARE(SaidOnce(before).control.data(), pressed);
            QCOMPARE(SaidOnce(before).focus.data(), nullptr);
            QCOMPARE(w->focusWidget(), unlocked);
        }
        // Back onto the question box: its text stays as shown, not selected.
        QTest::keyClick(w, Qt::Key_Backtab);
        QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->ui.Text1));
        QVERIFY(!w->ui.Text1->hasSelectedText());
    }

    void twoWindowsEachSpeakOfTheirOwnControls() {
        LevelWindow* first = harness::OpenLevel(0);
        harness::Click(first->ui.cmdNext);
        LevelWindow* second = harness::OpenLevel(1);  // resets the shared count; the first window goes on from it
        harness::Click(second->ui.cmdNext);
        const int correct = CorrectOption.value();
        const std::size_t before = said.size();
        // The first window's answer is judged against the question the second showed last,
        // and spoken with the option that the first window shows under that number.
        harness::Click(harness::AnswerButton(first, correct % 4 + 1));
        const Said s = SaidOnce(before);
        QCOMPARE(s.control->window(), static_cast<QWidget*>(first));
        QLabel* options[] = {first->ui.Label6, first->ui.Label7, first->ui.Label8, first->ui.Label9};
        QCOMPARE(s.message, QStringLiteral("Wrong answer. Correct Answer ") + QString::number(correct) +
                                QStringLiteral(", ") + options[correct - 1]->text());
    }

    void aPressThatEndsTheProgramSaysNothing() {
        LevelWindow* w = harness::OpenLevel(0);
        harness::Click(w->ui.cmdNext);
        Marks = 32767;
        const std::size_t before = said.size();
        harness::Click(harness::AnswerButton(w, CorrectOption.value()));
        QCOMPARE(harness::Errors().size(), std::size_t{1});
        QVERIFY(runtime::HasEnded());
        QCOMPARE(said.size(), before);
    }

    void nothingASightedPlayerSeesChanges() {
        // The same pass twice, from the same question order: once as the program runs,
        // once with the window's accessible layer taken away. Every picture must agree.
        std::vector<QImage> with, without;
        for (std::vector<QImage>* pictures : {&with, &without}) {
            harness::ResetProgram();
            harness::StartProgram();
            // The middles of the 200 slots, 37 apart: every number once in 200 draws.
            runtime::SubstituteRandomSequence([slot = 0]() mutable {
                slot = (slot + 37) % 200;
                return (float(slot) + 0.5f) / 200.0f;
            });
            LevelWindow* w = harness::OpenLevel(3);
            if (pictures == &without) delete w->findChild<LevelAccessibility*>();
            pictures->push_back(Seen(w));
            harness::AccessKey(w, 's');
            pictures->push_back(Seen(w));
            harness::AccessKey(w, char('0' + CorrectOption.value()));
            pictures->push_back(Seen(w));
            QTest::keyClick(w, Qt::Key_Tab);
            harness::AccessKey(w, 'n');
            pictures->push_back(Seen(w));
            harness::Click(harness::AnswerButton(w, CorrectOption.value() % 4 + 1));
            pictures->push_back(Seen(w));
        }
        QCOMPARE(with.size(), without.size());
        for (std::size_t i = 0; i < with.size(); ++i) QVERIFY2(with[i] == without[i], qPrintable(QString::number(i)));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
