// The whole program on a running event loop: it starts with the menu, ends through the
// About box with status 0, and ends with status 1 after reporting a runtime error.

#include "Harness.h"

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

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() {
        harness::ResetProgram();
        runtime::SetErrorReporter({});  // the program's own report
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
