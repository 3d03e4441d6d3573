// The runtime layer: checked integers and arrays, random numbers, centring, the trap of
// runtime errors and the end of the program.

#include "Harness.h"
#include "runtime/Controls.h"
#include "runtime/FixedArray.h"
#include "runtime/Integer.h"
#include "runtime/Numbers.h"

#include <cmath>
#include <limits>

using runtime::ErrorCode;
using runtime::Integer;
using runtime::RuntimeError;

using harness::RaisedBy;

class RuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(); }

    void integerArithmeticIsOverflowTested() {
        QCOMPARE((Integer(32766) + 1).value(), 32767);
        QCOMPARE((Integer(-32767) - 1).value(), -32768);
        QCOMPARE(RaisedBy([] { (void)(Integer(32767) + 1); }), ErrorCode::Overflow);
        QCOMPARE(RaisedBy([] { (void)(Integer(-32768) - 1); }), ErrorCode::Overflow);
        QCOMPARE(RaisedBy([] { Integer i = 40000; (void)i; }), ErrorCode::Overflow);
        QCOMPARE(RaisedBy([] { Integer i = -32769; (void)i; }), ErrorCode::Overflow);
        // An overflowing sum leaves the variable as it was.
        Integer kept = 32767;
        QCOMPARE(RaisedBy([&] { kept = kept + 1; }), ErrorCode::Overflow);
        QCOMPARE(kept.value(), 32767);
        QCOMPARE(Integer(0).ToText() + Integer(200).ToText() + Integer(-32768).ToText(), QStringLiteral("0200-32768"));  // plain decimal
    }

    void fixedArrayTestsItsBounds() {
        runtime::FixedArray<Integer, 0, 200> order;
        QCOMPARE(order.size(), std::size_t{201});
        order(0) = 7, order(200) = 9;
        QCOMPARE(order[0].value() * 10 + order[200].value(), 79);
        QCOMPARE(RaisedBy([&] { (void)order(201); }), ErrorCode::SubscriptOutOfRange);
        QCOMPARE(RaisedBy([&] { (void)order(-1); }), ErrorCode::SubscriptOutOfRange);
        runtime::FixedArray<Integer, 1, 3> oneBased;
        QCOMPARE(RaisedBy([&] { (void)oneBased(0); }), ErrorCode::SubscriptOutOfRange);
    }

    void intIsTheFloor() {
        QCOMPARE(QList<int>({runtime::Int(1.999).value(), runtime::Int(-0.5).value(), runtime::Int(200.99998).value()}),
                 QList<int>({1, -1, 200}));
        QCOMPARE(RaisedBy([] { (void)runtime::Int(32768.0); }), ErrorCode::Overflow);
        QCOMPARE(RaisedBy([] { (void)runtime::Int(std::nan("")); }), ErrorCode::Overflow);
    }

    // Rnd spreads over 0 to just below 1: a wrong scale or shift of the bits fails here; a rare 1 would
    // slip through, but the shuffle's bounds with the largest single below 1 are checked with the levels.
    void rndStaysBelowOne() {
        runtime::Randomize();
        float lowest = 1, highest = 0;
        for (int i = 0; i < 200000; ++i) {
            const float r = runtime::Rnd();
            lowest = std::min(lowest, r), highest = std::max(highest, r);
        }
        QVERIFY(lowest >= 0 && lowest < 0.001f);
        QVERIFY(highest > 0.999f && highest < 1);
    }

    void centringComputesEachHalfFirst() {
        using runtime::Centred;
        QCOMPARE(QList<float>({Centred(15360, 9600), Centred(11520, 7200), Centred(9600, 9600), Centred(9000, 9600), Centred(5, 2)}),
                 QList<float>({2880, 2160, 0, -300, 1.5}));
        QCOMPARE(RaisedBy([] { (void)runtime::Centred(std::numeric_limits<float>::infinity(), 9600); }), ErrorCode::Overflow);
        QCOMPARE(RaisedBy([] { (void)runtime::ToSingle(1e39); }), ErrorCode::Overflow);
    }

    // Twips round to the nearest pixel; the screen is measured in twips.
    void twips() {
        const int pixels[] = {runtime::PixelsFromTwips(9600), runtime::PixelsFromTwips(3232),
                              runtime::PixelsFromTwips(43), runtime::PixelsFromTwips(1739)};
        QCOMPARE(QList<int>(std::begin(pixels), std::end(pixels)), QList<int>({640, 215, 3, 116}));
        QCOMPARE(runtime::Screen::Width(), 15360.0f);
        QCOMPARE(runtime::Screen::Height(), 11520.0f);
    }

    void errorInAHandlerIsReportedAndEndsTheProgram() {
        harness::StartProgram();
        bool after = false;
        runtime::Run([&] {
            runtime::Raise(ErrorCode::Overflow);
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(harness::Errors().size(), std::size_t{1});
        QCOMPARE(harness::Errors()[0].number(), 6);
        QCOMPARE(harness::Errors()[0].report(), QStringLiteral("Run-time error '6':\n\nOverflow"));
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 1);
        QVERIFY(!frmTarvonix.IsLoaded());
        // Nothing runs once the program has ended.
        bool ran = false;
        runtime::Run([&] { ran = true; });
        QVERIFY(!ran);
    }

    void nothingRunsWhileAnErrorIsReported() {
        harness::StartProgram();
        bool ranDuringReport = false;
        runtime::SetErrorReporter([&](const RuntimeError&) {
            runtime::Run([&] { ranDuringReport = true; });
            QCloseEvent close;
            QApplication::sendEvent(frmTarvonix.window(), &close);
        });
        runtime::Run([] { runtime::Raise(ErrorCode::Overflow); });
        QVERIFY(!ranDuringReport);
        QVERIFY(!frmAbout.IsLoaded());
        QCOMPARE(runtime::ExitStatus(), 1);  // not the 0 of a last form closed
    }

    void defaultReportIsAMessageBoxNamingTheError() {
        runtime::SetErrorReporter({});
        QString shown;
        harness::AnswerErrorBox(&shown);
        runtime::Run([] { runtime::Raise(ErrorCode::SubscriptOutOfRange); });
        QCOMPARE(shown, QStringLiteral("Run-time error '9':\n\nSubscript out of range"));
        QCOMPARE(runtime::ExitStatus(), 1);
    }

    void programEndsOnlyAfterTheLastFormAndTheHandler() {
        harness::StartProgram();
        frmgk.Load();
        runtime::Run([] { frmTarvonix.Unload(); });
        QVERIFY(!runtime::HasEnded());  // a level window is still loaded
        runtime::Run([] {
            frmgk.Unload();
            QVERIFY(!runtime::HasEnded());  // decided when the handler has run to its end
            frmAbout.Load();
        });
        QVERIFY(!runtime::HasEnded());
        runtime::Run([] { frmAbout.Unload(); });
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void loadIsOnceAndUnloadStartsAfresh() {
        QCOMPARE(RaisedBy([] { (void)frmgk->ui.cmdNext; }), ErrorCode::ObjectCallFailed);  // not loaded yet
        frmgk.Load();
        LevelWindow* first = &*frmgk;
        first->ui.Label10->setText(QStringLiteral("changed"));
        frmgk.Load();
        QCOMPARE(&*frmgk, first);
        QCOMPARE(runtime::LoadedFormCount(), 1);
        frmgk.Unload();
        QVERIFY(!frmgk.IsLoaded());
        QCOMPARE(runtime::LoadedFormCount(), 0);
        QPointer<LevelWindow> gone = first;
        QVERIFY(first->isHidden());
        harness::FlushDeletes();
        QVERIFY(gone.isNull());
        frmgk.Load();
        QCOMPARE(frmgk->ui.Label10->text(), QString());
    }

    void windowManagerCloseUnloadsWithoutAHandler() {
        harness::StartProgram();
        QCloseEvent close;
        QApplication::sendEvent(frmTarvonix.window(), &close);
        QVERIFY(!frmTarvonix.IsLoaded());
        QVERIFY(!frmAbout.IsLoaded());  // the menu's Exit handler did not run
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void imageCopiesPictureAndItsMeaning() {
        runtime::Image source, target;
        source.setPicture({QPixmap(8, 8), QStringLiteral("Right answer")});
        target.setPicture(source.picture());
        QCOMPARE(target.pixmap().cacheKey(), source.pixmap().cacheKey());
        QCOMPARE(target.accessibleName(), QStringLiteral("Right answer"));
        target.setPicture(runtime::LoadPicture());
        QVERIFY(target.pixmap().isNull());
        QVERIFY(target.picture().IsEmpty());
    }
};

QTEST_MAIN(RuntimeTest)
#include "test_runtime.moc"
