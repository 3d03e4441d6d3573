// The whole program: the display platform and session bus it asks for, the menu and the About
// box as a player and a screen reader meet them, the way out through the About box, the error
// reports that end it with status 1, random play across every window, and long play.

#include "Harness.h"
#include "app/Program.h"
#include "bank/Levels.h"
#include "runtime/Accessibility.h"
#include "runtime/Controls.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFontInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <cmath>

using namespace harness;

namespace {

// Runs `steps` one after another on the running event loop, a little apart.
void Queue(QTimer& timer, std::vector<std::function<void()>> steps) {
    QObject::connect(&timer, &QTimer::timeout, [steps = std::move(steps), next = std::size_t{0}]() mutable {
        if (next < steps.size()) steps[next++]();
    });
    timer.start(20);
}

// Sets an environment variable for a test, or unsets it for a null value; puts it back after.
struct Variable {
    const char* name;
    QByteArray saved;
    Variable(const char* n, const QByteArray& v) : name(n), saved(qEnvironmentVariableIsSet(n) ? qgetenv(n) : QByteArray()) { Set(v); }
    ~Variable() { Set(saved); }
    void Set(const QByteArray& value) const { value.isNull() ? qunsetenv(name) : qputenv(name, value); }
};

char KeyOf(QAbstractButton* b) { return b->text().at(b->text().indexOf(QLatin1Char('&')) + 1).toLower().toLatin1(); }

// What the program holds: widgets, windows, objects under the application, forms loaded.
QList<qsizetype> Holdings() {
    return {QApplication::allWidgets().size(), QApplication::topLevelWidgets().size(), qApp->children().size(),
            runtime::LoadedFormCount()};
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    // As the program starts, before any test resets it: the quiz state 0, the menu alone loaded
    // and shown, built while the fonts are registered and drawn with the design's faces all the same.
    void initTestCase() {
        PrepareApplication();
        StartProgram();
        QVERIFY(QuestionNo.value() == 0 && Marks.value() == 0 && CorrectOption.value() == 0 && RandomNo.value() == 0 && ScanNo.value() == 0);
        for (int i = 0; i <= 200; ++i) QCOMPARE(QuestionOrder(i).value(), 0);
        QVERIFY(frmTarvonix->isVisible() && runtime::LoadedFormCount() == 1);
        for (QAbstractButton* button : frmTarvonix->findChildren<QAbstractButton*>()) {
            QCOMPARE(QFontInfo(button->font()).family(), QStringLiteral("Liberation Serif"));
            QVERIFY(QFontInfo(button->font()).bold());
        }
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans"));
    }
    void init() {
        ResetProgram();
        StartProgram();
    }

    // In a Wayland session with XWayland's display the program asks for X11 first, where
    // its windows keep their places, with Wayland to fall back on; a player's own platform
    // and every other session are left to Qt.
    void displayPlatform_data() {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<bool>("x11First");
        const QByteArray unset, wayland("wayland"), socket("wayland-0"), local(":0");
        QTest::newRow("GNOME or KDE on Wayland") << unset << socket << wayland << local << true;
        QTest::newRow("Wayland socket only") << unset << socket << unset << QByteArray(":1") << true;
        QTest::newRow("Wayland session type only") << unset << unset << wayland << local << true;
        QTest::newRow("empty QT_QPA_PLATFORM is no choice") << QByteArray("") << socket << wayland << local << true;
        QTest::newRow("player chose Wayland") << wayland << socket << wayland << local << false;
        QTest::newRow("Wayland without XWayland") << unset << socket << wayland << unset << false;
        QTest::newRow("Wayland with an empty DISPLAY") << unset << socket << wayland << QByteArray("") << false;
        QTest::newRow("Wayland with a remote X display") << unset << socket << wayland << QByteArray("host:10") << false;
        QTest::newRow("X11 desktop") << unset << unset << QByteArray("x11") << local << false;
        QTest::newRow("X server, no session type") << unset << unset << unset << local << false;
    }
    void displayPlatform() {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, display);
        QFETCH(bool, x11First);
        const Variable set[] = {{"QT_QPA_PLATFORM", platform}, {"WAYLAND_DISPLAY", waylandDisplay},
                                {"XDG_SESSION_TYPE", sessionType}, {"DISPLAY", display}};
        QCOMPARE(DisplayPlatform(), x11First ? QByteArray("xcb;wayland") : QByteArray());
    }

    // The session bus is opened early only where that is a plain connection: a bus that
    // may have to be started is left to the toolkit, on the main thread.
    void sessionBusOpenedEarly_data() {
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
    void sessionBusOpenedEarly() {
        QFETCH(QByteArray, address);
        QFETCH(bool, early);
        QCOMPARE(runtime::OpensSessionBusEarly(address), early);
    }

    // What no picture of the two windows shows: frames, places, the focus and Tab, and the
    // names a screen reader gives them and their buttons, without the access-key mark.
    void menuAndAboutBoxAsDesigned() {
        MainMenu* menu = &*frmTarvonix;
        QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(menu->windowTitle() == QStringLiteral("Tarvonix") && Name(menu) == QStringLiteral("Tarvonix"));
        QVERIFY(menu->Left() == 2880.0f && menu->Top() == 2160.0f && menu->minimumSize() == menu->maximumSize());
        QCOMPARE(QApplication::focusWidget(), menu->ui.cmdLevel1);
        QCOMPARE(TabWalk(menu->ui.cmdLevel1), QStringList({"cmdLevel1", "cmdLevel2", "cmdLevel3", "cmdLevel4", "cmdLevel5", "cmdExit"}));
        for (int i = 0; i < 5; ++i) QCOMPARE(Name(LevelButton(i)), QStringLiteral("Level  %1").arg(i + 1));
        QCOMPARE(Name(menu->ui.cmdExit), QStringLiteral("Exit"));
        Click(menu->ui.cmdExit);
        AboutBox* about = &*frmAbout;
        QVERIFY(!(about->windowFlags() & (Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QVERIFY(std::fabs(about->Left() - (7680.0f - about->Width() / 2)) <= 7.5f);  // centred on 15360 by 11520 twips
        QVERIFY(std::fabs(about->Top() - (5760.0f - about->Height() / 2)) <= 7.5f);
        QVERIFY(Name(about) == QStringLiteral("About TARVONIX") && Name(about->ui.cmdOK) == QStringLiteral("Ok"));
        QCOMPARE(Name(about->ui.Picture1), QStringLiteral("Maker"));  // the panel Tab reaches, by its name
        QCOMPARE(QApplication::focusWidget(), about->ui.cmdOK);
        QCOMPARE(TabWalk(about->ui.cmdOK), QStringList({"cmdOK", "Picture1"}));
        const QImage unfocused = about->ui.Picture1->grab().toImage();  // the panel shows it has the focus
        QTest::keyClick(about, Qt::Key_Tab);
        QVERIFY(about->ui.Picture1->hasFocus() && about->ui.Picture1->grab().toImage() != unfocused);
        for (auto [caption, spoken] : {std::pair{"E&xit", "Exit"}, {"Level  &1", "Level  1"}, {"A && B", "A & B"}, {"&", ""}})
            QCOMPARE(runtime::SpokenCaption(QString::fromLatin1(caption)), QString::fromLatin1(spoken));
    }

    // The question box as a screen reader reads it: whole, blanks and all, each character
    // where it is drawn, wherever the text cursor stands.
    void textBoxIsReadWhole() {
        runtime::TextBox box;
        box.setReadOnly(true);
        box.resize(400, 20);
        box.setText(QStringLiteral("  WHO  WROTE GITANJALI "));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QAccessibleInterface* accessible = Accessible(&box);
        QVERIFY(accessible->role() == QAccessible::EditableText && accessible->state().readOnly);
        QCOMPARE(accessible->text(QAccessible::Value), box.text());
        QAccessibleTextInterface* text = accessible->textInterface();
        const int count = text->characterCount();
        QVERIFY(count == box.text().size() && text->text(0, -1) == box.text() && text->text(2, 5) == QStringLiteral("WHO"));
        int start = -1, end = -1;
        for (int offset = 0; offset <= count; ++offset) {  // each attribute run reaches the last character
            text->attributes(offset, &start, &end);
            QVERIFY(start == 0 && end == count);
        }
        QCOMPARE(text->textAtOffset(count - 1, QAccessible::LineBoundary, &start, &end), box.text());
        QCOMPARE(end, count);
        const QRect onScreen(box.mapToGlobal(QPoint(0, 0)), box.size());
        for (int offset = 0; offset < count; ++offset) {
            const QRect r = text->characterRect(offset);
            QVERIFY(!r.isEmpty() && onScreen.contains(r) && text->offsetAtPoint(r.center()) == offset);
            if (offset > 0) QVERIFY(r.left() == text->characterRect(offset - 1).right() + 1 && r.top() == text->characterRect(0).top());
        }
        QVERIFY(text->characterRect(count).isEmpty() && text->offsetAtPoint(onScreen.bottomRight() + QPoint(5, 5)) == -1);
        const QRect atStart = text->characterRect(3);
        box.setCursorPosition(3);
        QVERIFY(text->cursorPosition() == 3 && text->characterRect(3) == atStart);
    }

    // Each level button opens its own window over the menu, in front; choosing an open
    // level only brings it to the front, its pass untouched.
    void levelButtonsOpenTheirWindows() {
        for (int i = 0; i < 5; ++i) {
            LevelWindow* w = OpenLevel(i);
            QVERIFY(w && w->isVisible() && QApplication::activeWindow() == w && runtime::LoadedFormCount() == i + 2);
            QCOMPARE(w->objectName(), QStringLiteral("frmgk%1").arg(i ? QString::number(i) : QString()));
        }
        QVERIFY(frmTarvonix->isVisible());
        Click(frmgk2->ui.cmdNext);
        const QString question = frmgk2->ui.Text1->text();
        std::vector<int> order;
        for (int i = 0; i <= 200; ++i) order.push_back(QuestionOrder(i).value());
        frmTarvonix->activateWindow();
        LevelWindow* again = OpenLevel(2);
        QVERIFY(again == &*frmgk2 && QuestionNo.value() == 1 && again->ui.Text1->text() == question);
        for (int i = 0; i <= 200; ++i) QCOMPARE(QuestionOrder(i).value(), order[i]);
        QCOMPARE(QApplication::activeWindow(), again);
    }

    // The menu's keys and the About box's: Alt with a level's digit opens it; Alt+X, or
    // Escape, leaves the menu for the About box; its Alt+O, Enter, Escape or close box
    // ends the program, as OK does.
    void keysOfTheMenuAndTheAboutBox_data() {
        QTest::addColumn<int>("menuKey");
        QTest::addColumn<int>("aboutKey");  // 0: a close from the window manager
        QTest::addColumn<int>("opens");     // the level window opened, or -1
        for (int i = 0; i < 5; ++i) QTest::addRow("Alt+%d", i + 1) << (int(Qt::AltModifier) | (Qt::Key_1 + i)) << -1 << i;
        QTest::newRow("Alt+X, Alt+O") << (int(Qt::AltModifier) | Qt::Key_X) << (int(Qt::AltModifier) | Qt::Key_O) << -1;
        QTest::newRow("Escape, Enter") << int(Qt::Key_Escape) << int(Qt::Key_Return) << -1;
        QTest::newRow("Escape, Escape") << int(Qt::Key_Escape) << int(Qt::Key_Escape) << -1;
        QTest::newRow("Escape, close box") << int(Qt::Key_Escape) << 0 << -1;
    }
    void keysOfTheMenuAndTheAboutBox() {
        QFETCH(int, menuKey);
        QFETCH(int, aboutKey);
        QFETCH(int, opens);
        const auto press = [](QWidget* w, int key) {
            QTest::keyClick(w, Qt::Key(key & ~Qt::KeyboardModifierMask), Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
            QCoreApplication::processEvents();
        };
        press(frmTarvonix.window(), menuKey);
        QVERIFY(opens < 0 ? !frmTarvonix.IsLoaded() && frmAbout.IsLoaded() && !runtime::HasEnded()
                          : LevelForms()[opens]->IsLoaded() && frmTarvonix.IsLoaded());
        if (opens >= 0) return;
        QCloseEvent close;
        aboutKey ? press(frmAbout.window(), aboutKey) : void(QApplication::sendEvent(frmAbout.window(), &close));
        QVERIFY(!frmAbout.IsLoaded() && runtime::HasEnded() && runtime::ExitStatus() == 0);
    }

    // Exit unloads the menu before the About box shows, in one handler, so the program goes
    // on; a second click on the gone menu's Exit shows no second box; a level window left
    // open keeps the program running after OK, until its own Exit.
    void theWayOutIsThroughTheAboutBox() {
        struct Watcher : QObject {
            bool menuLoadedAtShow = true;
            bool eventFilter(QObject* o, QEvent* e) override {
                if (e->type() == QEvent::Show && o == frmAbout.window()) menuLoadedAtShow = frmTarvonix.IsLoaded();
                return false;
            }
        } watcher;
        Click(LevelButton(1));
        QPushButton* exit = frmTarvonix->ui.cmdExit;
        qApp->installEventFilter(&watcher);
        Click(exit);
        qApp->removeEventFilter(&watcher);
        QVERIFY(!watcher.menuLoadedAtShow && !frmTarvonix.IsLoaded() && frmAbout->isVisible() && !runtime::HasEnded());
        AboutBox* about = &*frmAbout;
        Click(exit);
        QCOMPARE(&*frmAbout, about);
        Click(about->ui.cmdOK);
        QVERIFY(!frmAbout.IsLoaded() && !runtime::HasEnded() && frmgk1->isVisible());
        Click(frmgk1->ui.cmdQuit);
        QVERIFY(runtime::HasEnded() && runtime::ExitStatus() == 0);
    }

    // On a running event loop: out through the About box with status 0; a runtime error
    // reported in its own words, nothing stored, and the end with status 1.
    void endsWithItsStatus_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("fault");  // 0 none, 1 marks about to overflow, 2 a position before the order
        QTest::addColumn<QString>("report");
        QTest::newRow("through the About box") << 0 << 0 << QString();
        QTest::newRow("overflow") << 1 << 1 << QStringLiteral("Run-time error '6':\n\nOverflow");
        QTest::newRow("bad index") << 3 << 2 << QStringLiteral("Run-time error '9':\n\nSubscript out of range");
    }
    void endsWithItsStatus() {
        QFETCH(int, level);
        QFETCH(int, fault);
        QFETCH(QString, report);
        ResetProgram();
        runtime::SetErrorReporter({});  // the program's own report
        QString shown;
        const auto window = [level] { return &*LevelForms()[level]; };
        QTimer timer;
        Queue(timer, {[level] { LevelButton(level)->click(); }, [window, fault] { if (fault != 2) (*window())->ui.cmdNext->click(); },
               [&, fault] {
                   if (fault == 0) return (*window())->ui.cmdQuit->click();
                   AnswerErrorBox(&shown);
                   if (fault == 1) Marks = 32767;
                   if (fault == 2) QuestionNo = -2;
                   (fault == 1 ? AnswerButton(&**window(), CorrectOption.value()) : (*window())->ui.cmdNext)->click();
               },
               [] { if (frmTarvonix.IsLoaded()) frmTarvonix->ui.cmdExit->click(); },
               [] { if (frmAbout.IsLoaded()) frmAbout->ui.cmdOK->click(); }});
        QCOMPARE(runtime::RunProgram(frmTarvonix), fault ? 1 : 0);
        QCOMPARE(shown, report);
        QCOMPARE(runtime::LoadedFormCount(), 0);
        if (fault == 1) QCOMPARE(Marks.value(), 32767);  // nothing stored
    }
    // Random play across the menu, the level windows and the About box: clicks, access keys
    // and window-manager closes, on enabled and disabled buttons. After each action: each
    // question once per pass, marks never above the answers taken, a pressed level window
    // shows the question at the current position, and the program ends only through the
    // About box, once no window is left.
    void randomPlayKeepsItsPromises_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 8; ++seed) QTest::addRow("seed %u", seed) << seed;
    }
    void randomPlayKeepsItsPromises() {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        runtime::SubstituteRandomSequence([&random] { return float(random.bounded(1 << 24)) / float(1 << 24); });
        QSet<int> shown;
        int taken = 0;
        bool aboutShown = false;
        for (int step = 0; step < 1000 && !runtime::HasEnded(); ++step) {
            // A loaded window, then one of its buttons: mostly one that does something.
            QList<QWidget*> windows{frmTarvonix.window(), frmAbout.window()}, loaded;  // then levels 1 to 5
            for (auto* f : LevelForms()) windows << f->window();
            for (QWidget* w : windows) if (w) loaded << w;
            QWidget* window = loaded[random.bounded(loaded.size())];
            auto* level = qobject_cast<LevelWindow*>(window);
            QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>(), enabled;
            if (window == frmTarvonix.window() && random.bounded(30) != 0) buttons.removeOne(frmTarvonix->ui.cmdExit);
            if (level && random.bounded(15) != 0) buttons.removeOne(level->ui.cmdQuit);
            for (auto* b : buttons)
                if (b->isEnabled()) enabled << b;
            const auto& pool = enabled.isEmpty() || random.bounded(10) == 0 ? buttons : enabled;
            QAbstractButton* button = pool[random.bounded(pool.size())];
            const bool opens = window == frmTarvonix.window() && button != frmTarvonix->ui.cmdExit &&
                               !LevelForms()[KeyOf(button) - '1']->IsLoaded();
            const bool answers = level && button->isEnabled() && KeyOf(button) >= '1' && KeyOf(button) <= '4';
            const int before = QuestionNo.value();
            const quint32 how = random.bounded(20);
            const bool closes = how == 0 && window != frmTarvonix.window();  // by the window manager
            if (closes) {
                QCloseEvent close;
                QApplication::sendEvent(window, &close);
                QVERIFY(window->isHidden());
            } else if (how < 4) {
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                AccessKey(window, KeyOf(button));
            } else {
                Click(button);
            }
            taken += answers && !closes;
            FlushDeletes();
            QVERIFY(Errors().empty());
            if (opens) {
                QVERIFY(IsPermutation() && QuestionNo.value() == 0 && Marks.value() == 0);
                shown.clear();
                taken = 0;
            } else if (QuestionNo.value() != before) {
                QVERIFY(level && QuestionNo.value() == before + 1);
                if (QuestionNo.value() <= 200) {
                    const int number = QuestionOrder(QuestionNo).value();
                    QVERIFY2(!shown.contains(number), "a question shown twice in one pass");
                    shown.insert(number);
                    const bank::Question& q = bank::LevelTable(int(windows.indexOf(level)) - 1)[number - 1];
                    QVERIFY(level->ui.Text1->text() == bank::Text(q.QuestionText) && CorrectOption.value() == int(q.AnswerNumber));
                }
            }
            QVERIFY(Marks.value() >= 0 && Marks.value() <= taken);
            aboutShown = aboutShown || frmAbout.IsLoaded();
            QCOMPARE(runtime::HasEnded(), runtime::LoadedFormCount() == 0);
            QVERIFY(!runtime::HasEnded() || (aboutShown && runtime::ExitStatus() == 0));
        }
    }

    // Hundreds of levels opened, played in and left, alone and all five at once, leave
    // nothing behind; under the sanitizers LeakSanitizer checks every allocation at the end.
    void longPlayLeavesNothingBehind() {
        const auto cycle = [](std::initializer_list<int> levels) {
            for (int i : levels) Click(LevelButton(i));
            for (int i : levels)
                for (int q = 0; q < 3; ++q) {
                    Click((*LevelForms()[i])->ui.cmdNext);
                    Click(AnswerButton(&**LevelForms()[i], (q + CorrectOption.value()) % 4 + 1));
                }
            for (int i : levels) Click((*LevelForms()[i])->ui.cmdQuit);
            FlushDeletes();
        };
        cycle({0});
        cycle({0, 1, 2, 3, 4});
        const QList<qsizetype> settled = Holdings();
        for (int c = 1; c <= 200; ++c) c % 25 ? cycle({c % 5}) : cycle({0, 1, 2, 3, 4});
        QVERIFY(Errors().empty() && frmTarvonix->isVisible());
        QCOMPARE(Holdings(), settled);
        QCOMPARE(settled.last(), 1);
    }
};

QTEST_MAIN(ProgramTest)
#include "test_program.moc"
