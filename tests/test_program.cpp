// The whole program on a running event loop: it starts with the menu, ends through the
// About box with status 0, and ends with status 1 after reporting a runtime error. Before
// that, the display platform it asks Qt for in each kind of desktop session.

#include "Harness.h"
#include "app/Program.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QMessageBox>
#include <QTimer>

namespace {

// Runs `steps` one after another on the running event loop, a little apart.
void Queue(std::vector<std::function<void()>> steps) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, steps = std::move(steps), next = std::size_t{0}]() mutable {
        if (next >= steps.size()) {
            timer->stop();
            return;
        }
        steps[next++]();
    });
    timer->start();
}

// The variables a desktop session sets that decide the display platform; set for one test
// and put back as they were afterwards.
class SessionVariables {
public:
    SessionVariables() {
        for (const char* name : Names) saved_.push_back(qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    }
    ~SessionVariables() {
        for (std::size_t i = 0; i < Names.size(); ++i) Set(Names[i], saved_[i]);
    }
    SessionVariables(const SessionVariables&) = delete;
    SessionVariables& operator=(const SessionVariables&) = delete;

    // A null value leaves the variable unset; an empty one sets it empty.
    static void Set(const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }

    static constexpr std::array<const char*, 4> Names = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE",
                                                         "DISPLAY"};

private:
    std::vector<QByteArray> saved_;
};

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    // As the program starts: the menu is built and shown while the fonts are registered.
    void initTestCase() {
        PrepareApplication();
        harness::StartProgram();
    }
    void init() {
        harness::ResetProgram();
        runtime::SetErrorReporter({});  // the program's own report
    }

    // In a Wayland session with XWayland's display the program asks for X11 first, where
    // its windows keep their places, with Wayland to fall back on; a player's own platform
    // and every other session are left to Qt.
    void displayPlatform_data() {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray unset;
        const QByteArray x11First = "xcb;wayland";
        QTest::newRow("GNOME or KDE on Wayland") << unset << QByteArray("wayland-0") << QByteArray("wayland")
                                                 << QByteArray(":0") << x11First;
        QTest::newRow("Wayland socket only") << unset << QByteArray("wayland-1") << unset << QByteArray(":1") << x11First;
        QTest::newRow("Wayland session type only")
            << unset << unset << QByteArray("wayland") << QByteArray(":0") << x11First;
        QTest::newRow("empty QT_QPA_PLATFORM is no choice")
            << QByteArray("") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << x11First;
        QTest::newRow("player chose Wayland") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray("wayland")
                                              << QByteArray(":0") << QByteArray();
        QTest::newRow("Wayland without XWayland")
            << unset << QByteArray("wayland-0") << QByteArray("wayland") << unset << QByteArray();
        QTest::newRow("Wayland with an empty DISPLAY")
            << unset << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("") << QByteArray();
        QTest::newRow("Wayland with a remote X display")
            << unset << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("host:10") << QByteArray();
        QTest::newRow("X11 desktop") << unset << unset << QByteArray("x11") << QByteArray(":0") << QByteArray();
        QTest::newRow("X server, no session type") << unset << unset << unset << QByteArray(":0") << QByteArray();
    }
    void displayPlatform() {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, expected);
        SessionVariables restore;
        SessionVariables::Set("QT_QPA_PLATFORM", platform);
        SessionVariables::Set("WAYLAND_DISPLAY", waylandDisplay);
        SessionVariables::Set("XDG_SESSION_TYPE", sessionType);
        SessionVariables::Set("DISPLAY", display);
        QCOMPARE(DisplayPlatform(), expected);
    }

    // The menu was built while the fonts were being registered, and it draws with the
    // design's faces all the same: nothing asked for a font before they were there.
    void firstWindowDrawsWithTheEmbeddedFaces() {
        harness::StartProgram();
        for (QAbstractButton* button : frmTarvonix->findChildren<QAbstractButton*>()) {
            const QFontInfo face(button->font());
            QCOMPARE(face.family(), QStringLiteral("Liberation Serif"));
            QVERIFY(face.bold());
        }
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans"));
    }

    void endsThroughTheAboutBox() {
        Queue({
            [] { QVERIFY(frmTarvonix->isVisible()); },
            [] { frmTarvonix->ui.cmdLevel1->click(); },
            [] { frmgk->ui.cmdNext->click(); },
            [] { frmgk->ui.cmdQuit->click(); },
            [] { frmTarvonix->ui.cmdExit->click(); },
            [] { frmAbout->ui.cmdOK->click(); },
        });
        QCOMPARE(runtime::RunProgram(frmTarvonix), 0);
        QCOMPARE(runtime::LoadedFormCount(), 0);
    }

    void overflowIsReportedAndEndsWithStatusOne() {
        QString report;
        Queue({
            [] { frmTarvonix->ui.cmdLevel2->click(); },
            [] { frmgk1->ui.cmdNext->click(); },
            [&report] {
                Marks = 32767;
                harness::AnswerErrorBox(&report);
                QAbstractButton* buttons[] = {frmgk1->ui.Command1, frmgk1->ui.Command2, frmgk1->ui.Command3,
                                              frmgk1->ui.Command4};
                buttons[CorrectOption.value() - 1]->click();
            },
        });
        QCOMPARE(runtime::RunProgram(frmTarvonix), 1);
        QCOMPARE(report, QStringLiteral("Run-time error '6':\n\nOverflow"));
        QCOMPARE(Marks.value(), 32767);  // nothing stored
        QCOMPARE(runtime::LoadedFormCount(), 0);
    }

    void badIndexIsReportedAndEndsWithStatusOne() {
        QString report;
        Queue({
            [] { frmTarvonix->ui.cmdLevel4->click(); },
            [&report] {
                QuestionNo = -2;
                harness::AnswerErrorBox(&report);
                frmgk3->ui.cmdNext->click();
            },
        });
        QCOMPARE(runtime::RunProgram(frmTarvonix), 1);
        QCOMPARE(report, QStringLiteral("Run-time error '9':\n\nSubscript out of range"));
    }
};

QTEST_MAIN(ProgramTest)
#include "test_program.moc"
