// What the player sees: the real windows drawn offscreen against approved pictures in tests/looks
// (after a deliberate change of the look, TARVONIX_APPROVE=1 rewrites them: look at each before
// committing it), the embedded fonts alone, no style sheets, the program's icon on every window,
// and covered windows drawn whole again when they come to the front.

#include "Harness.h"

#include <QBackingStore>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStyle>

namespace {

// The window as drawn now, against its approved picture.
void ExpectLook(QWidget* window, const QString& name) {
    QApplication::processEvents();
    const QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString approved = QStringLiteral(LOOKS_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIntValue("TARVONIX_APPROVE")) QVERIFY(drawn.save(approved));
    const QString actual = QDir::temp().filePath(QStringLiteral("tarvonix-%1.png").arg(name));
    const bool same = drawn == QImage(approved).convertToFormat(QImage::Format_RGB32);
    if (!same) drawn.save(actual);
    QVERIFY2(same, qPrintable(QStringLiteral("%1 differs from %2; drawn: %3").arg(name, approved, actual)));
}

// The questions in a fixed order, for the first level a test opens: 18, 55, 92, ...
void FixTheOrder() {
    runtime::SubstituteRandomSequence([c = 0]() mutable { return ((17 + 37 * c++) % 200 + 0.5f) / 200; });
}

bool DrawnBySheetEngine(const QWidget* control) { return control->style()->inherits("QStyleSheetStyle"); }

// Whether a window keeps a buffer of its whole drawing, after something of it is to be drawn.
bool KeepsItsDrawing(QWidget* window, QWidget* part) {
    part->update();
    QApplication::processEvents();
    return window->backingStore()->size() == window->size();
}

QImage Buffer(QWidget* window) {
    return static_cast<QImage*>(window->backingStore()->paintDevice())->convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class LookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(), FixTheOrder(), harness::StartProgram(); }

    void menuAndAboutBox() {
        ExpectLook(&*frmTarvonix, QStringLiteral("menu"));
        harness::Click(frmTarvonix->ui.cmdExit);
        ExpectLook(&*frmAbout, QStringLiteral("about"));
    }

    // Each level's design shows in play (a question, a right or a wrong answer) and once completed.
    void levels_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("state");
        QTest::newRow("1") << 1 << "question";
        QTest::newRow("2") << 2 << "right";
        QTest::newRow("3") << 3 << "wrong";
        QTest::newRow("4") << 4 << "right";
        QTest::newRow("5") << 5 << "wrong";
    }
    void levels() {
        QFETCH(int, level);
        QFETCH(QString, state);
        LevelWindow* w = harness::OpenLevel(level - 1);
        harness::Click(w->ui.cmdNext);
        const int right = CorrectOption.value();
        if (state != QLatin1String("question")) harness::Click(harness::AnswerButton(w, state == "right" ? right : right % 4 + 1));
        ExpectLook(w, QStringLiteral("level%1-%2").arg(level).arg(state));
        for (int i = 0; i < 200; ++i) {  // answered 1 to the end
            if (w->ui.Command1->isEnabled()) w->ui.Command1->click();
            w->ui.cmdNext->click();
        }
        ExpectLook(w, QStringLiteral("level%1-completed").arg(level));
    }

    // The program draws with its embedded fonts alone: the design's names map to them, and no
    // font of the machine is known, even where one of the same name is installed.
    void onlyTheEmbeddedFontsAreKnown() {
        const QStringList embedded = {QStringLiteral("Liberation Serif"), QStringLiteral("Liberation Sans"),
                                      QStringLiteral("TeX Gyre Bonum")};
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(), embedded[0]);
        QCOMPARE(QFontInfo(QFont(QStringLiteral("MS Sans Serif"))).family(), embedded[1]);
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Bookman Old Style"))).family(), embedded[2]);
        QCOMPARE(QFontInfo(QApplication::font()).family(), embedded[1]);
        const QStringList generic = {QStringLiteral("Serif"), QStringLiteral("Sans Serif"), QStringLiteral("Monospace")};
        for (const QString& family : QFontDatabase::families())
            QVERIFY2(embedded.contains(family) || generic.contains(family), qPrintable(family));
    }

    // Every window carries the program's one icon, and no control is drawn by the style sheet engine.
    void formsCarryTheIconAndNoStyleSheets() {
        const qint64 icon = QApplication::windowIcon().cacheKey();
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(frmTarvonix->windowIcon().cacheKey(), icon);
        harness::Click(frmTarvonix->ui.cmdLevel1);
        harness::Click(frmTarvonix->ui.cmdLevel3);
        harness::Click(frmTarvonix->ui.cmdExit);
        for (QWidget* window : {static_cast<QWidget*>(frmgk.window()), static_cast<QWidget*>(frmgk2.window()),
                                static_cast<QWidget*>(frmAbout.window())}) {
            QCOMPARE(window->windowIcon().cacheKey(), icon);
            QVERIFY(!DrawnBySheetEngine(window));
            for (QWidget* control : window->findChildren<QWidget*>())
                QVERIFY2(!DrawnBySheetEngine(control), qPrintable(control->objectName()));
        }
    }

    // A window that the window in front covers keeps no buffer of its drawing; in front again,
    // the first thing it draws brings back the whole window, not that part alone. The menu,
    // covered by its own picture, keeps its buffer; so does a window only partly covered.
    void coveredWindowsAreDrawnWholeAgain() {
        MainMenu* menu = &*frmTarvonix;
        QVERIFY(KeepsItsDrawing(menu, menu));
        LevelWindow* first = harness::OpenLevel(0);
        QVERIFY(KeepsItsDrawing(first, first));
        LevelWindow* second = harness::OpenLevel(1);
        QVERIFY(KeepsItsDrawing(second, second));
        QVERIFY(KeepsItsDrawing(menu, menu->ui.cmdLevel3));
        harness::Click(first->ui.cmdNext);  // a press in the covered window draws it
        QVERIFY(!KeepsItsDrawing(first, first->ui.Label10));

        harness::Click(second->ui.cmdQuit);
        QVERIFY(KeepsItsDrawing(first, first->ui.Label10));
        QCOMPARE(Buffer(first), first->grab().toImage().convertToFormat(QImage::Format_RGB32));
        harness::Click(first->ui.cmdQuit);
        QVERIFY(KeepsItsDrawing(menu, menu->ui.cmdExit));
        QCOMPARE(Buffer(menu), menu->grab().toImage().convertToFormat(QImage::Format_RGB32));

        LevelWindow* third = harness::OpenLevel(2);
        LevelWindow* fourth = harness::OpenLevel(3);
        QVERIFY(!KeepsItsDrawing(third, third->ui.cmdQuit));
        fourth->move(fourth->pos() + QPoint(10, 10));
        fourth->activateWindow();
        QVERIFY(KeepsItsDrawing(third, third->ui.cmdQuit));
    }
};

QTEST_MAIN(LookTest)
#include "test_look.moc"
