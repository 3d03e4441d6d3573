#include "Harness.h"

#include "app/Program.h"
#include "runtime/Fonts.h"

#include <QApplication>
#include <QMessageBox>
#include <QSet>
#include <QTimer>

namespace harness {

static std::vector<runtime::RuntimeError> errors;

void PrepareSuite() {
    PrepareApplication();
    runtime::WaitForEmbeddedFonts();  // a suite may measure text before it shows a window
}

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

std::array<runtime::Form<LevelWindow>*, 5> LevelForms() { return {&frmgk, &frmgk1, &frmgk2, &frmgk3, &frmgk4}; }

void ResetProgram() {
    frmTarvonix.Unload();
    frmAbout.Unload();
    for (auto* form : LevelForms()) form->Unload();
    FlushDeletes();
    for (Integer* state : {&QuestionNo, &Marks, &CorrectOption, &RandomNo, &ScanNo}) *state = 0;
    for (int i = 0; i <= 200; ++i) QuestionOrder(i) = 0;
    runtime::ResetEnd();
    runtime::SubstituteRandomSequence({});
    errors.clear();
    runtime::SetErrorReporter([](const runtime::RuntimeError& error) { errors.push_back(error); });
}

const std::vector<runtime::RuntimeError>& Errors() { return errors; }

void StartProgram() {
    runtime::Run([] {
        frmTarvonix.Load();
        frmTarvonix.Show();
    });
}

QAbstractButton* LevelButton(int index) {
    auto& m = frmTarvonix->ui;
    QAbstractButton* buttons[] = {m.cmdLevel1, m.cmdLevel2, m.cmdLevel3, m.cmdLevel4, m.cmdLevel5};
    return buttons[index];
}

bool IsPermutation() {
    QSet<int> seen;
    for (int p = 1; p <= 200; ++p) seen.insert(QuestionOrder(p).value());
    return seen.size() == 200 && !seen.contains(0) && !seen.contains(201) && QuestionOrder(0).value() == 0;
}

LevelWindow* OpenLevel(int index) {
    Click(LevelButton(index));
    return static_cast<LevelWindow*>(LevelForms()[index]->window());
}

QAbstractButton* AnswerButton(LevelWindow* w, int n) {
    QAbstractButton* buttons[] = {w->ui.Command1, w->ui.Command2, w->ui.Command3, w->ui.Command4};
    return buttons[n - 1];
}

bool AnswersEnabled(LevelWindow* w) {
    const bool first = w->ui.Command1->isEnabled();
    for (int n = 2; n <= 4; ++n)
        if (AnswerButton(w, n)->isEnabled() != first) qFatal("answer buttons disagree");
    return first;
}

Face FaceShown(LevelWindow* w) {
    const QImage shown = w->ui.Image1->pixmap().toImage(), right = w->ui.Image2->pixmap().toImage();
    const QImage wrong = w->ui.Image3->pixmap().toImage();
    if (shown.isNull()) return Face::None;
    return right == wrong ? Face::Other : shown == right ? Face::Right : shown == wrong ? Face::Wrong : Face::Other;
}

QAccessibleInterface* Accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
QString Name(QObject* object) { return Accessible(object)->text(QAccessible::Name); }

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void AccessKey(QWidget* window, char key) {
    QTest::keyClick(window, key, Qt::AltModifier);
    QCoreApplication::processEvents();
}

void AnswerErrorBox(QString* text) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->text();
            box->accept();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

QStringList TabWalk(QWidget* first) {
    QStringList names;
    QWidget* w = first;
    do {
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(first->window())) names << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    return names;
}

}  // namespace harness
