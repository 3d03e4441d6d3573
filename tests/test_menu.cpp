// The main menu: its design, its centring, the level buttons, the access keys and the
// way out through the About box.

#include "Harness.h"

#include <QImage>

namespace {

struct ButtonRow {
    const char* name;
    const char* caption;
    int left;  // twips
};

const ButtonRow Buttons[] = {
    {"cmdLevel1", "Level  &1", 600}, {"cmdLevel2", "Level  &2", 1800}, {"cmdLevel3", "Level  &3", 3000},
    {"cmdLevel4", "Level  &4", 4200}, {"cmdLevel5", "Level  &5", 5400}, {"cmdExit", "E&xit", 7800},
};

// Records, when the About box is first shown, whether the menu was still loaded.
class ShowWatcher : public QObject {
public:
    bool seen = false;
    bool menuLoadedThen = true;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && frmAbout.IsLoaded() && watched == frmAbout.window() && !seen) {
            seen = true;
            menuLoadedThen = frmTarvonix.IsLoaded();
        }
        return false;
    }
};

}  // namespace

class MenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() {
        harness::ResetProgram();
        harness::StartProgram();
    }

    void quizStateIsZeroAtStart() {
        QCOMPARE(QuestionNo.value(), 0);
        QCOMPARE(Marks.value(), 0);
        QCOMPARE(CorrectOption.value(), 0);
        QCOMPARE(RandomNo.value(), 0);
        QCOMPARE(ScanNo.value(), 0);
        for (int i = 0; i <= 200; ++i) QCOMPARE(QuestionOrder(i).value(), 0);
        QVERIFY(frmTarvonix.IsLoaded());
        QCOMPARE(runtime::LoadedFormCount(), 1);
    }

    void windowIsBorderlessCentredAndPictured() {
        MainMenu* menu = &*frmTarvonix;
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->objectName(), QStringLiteral("frmTarvonix"));
        QCOMPARE(menu->windowTitle(), QStringLiteral("Tarvonix"));
        QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(menu->size(), QSize(640, 480));
        QCOMPARE(menu->minimumSize(), menu->maximumSize());
        QCOMPARE(menu->Left(), 2880.0f);
        QCOMPARE(menu->Top(), 2160.0f);
        QCOMPARE(menu->Width(), 9600.0f);
        QCOMPARE(menu->Height(), 7200.0f);
        QVERIFY(!menu->windowIcon().isNull());
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(menu->picture().size(), QSize(722, 495));
        const QImage picture(QStringLiteral(":/pictures/menu.bmp"));
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        QVERIFY(picture.colorCount() <= 256);
        // The picture is drawn from the upper-left corner of the window.
        const QImage shown = menu->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage drawn = picture.convertToFormat(QImage::Format_RGB32);
        for (QPoint p : {QPoint(0, 0), QPoint(320, 100), QPoint(639, 0), QPoint(5, 300)})
            QCOMPARE(shown.pixel(p), drawn.pixel(p));
    }

    void buttonsAreAsDesigned() {
        const auto buttons = frmTarvonix->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 6);
        for (const ButtonRow& row : Buttons) {
            auto* b = frmTarvonix->findChild<QPushButton*>(QLatin1String(row.name));
            QVERIFY2(b, row.name);
            QCOMPARE(b->parentWidget(), frmTarvonix.window());
            QCOMPARE(b->text(), QLatin1String(row.caption));
            QCOMPARE(b->geometry(), QRect(row.left / 15, 408, 81, 33));
            QCOMPARE(b->font().family(), QStringLiteral("Times New Roman"));
            QCOMPARE(b->font().pointSizeF(), 9.75);
            QVERIFY(b->font().bold());
            QVERIFY(b->isEnabled());
            QVERIFY(b->isVisible());
        }
        QCOMPARE(QApplication::focusWidget(), frmTarvonix->ui.cmdLevel1);  // the menu opens on Level 1
        QCOMPARE(harness::TabWalk(frmTarvonix->ui.cmdLevel1),
                 QStringList({"cmdLevel1", "cmdLevel2", "cmdLevel3", "cmdLevel4", "cmdLevel5", "cmdExit"}));
    }

    void eachLevelButtonOpensItsOwnWindowOverTheMenu() {
        QAbstractButton* levelButtons[] = {frmTarvonix->ui.cmdLevel1, frmTarvonix->ui.cmdLevel2,
                                           frmTarvonix->ui.cmdLevel3, frmTarvonix->ui.cmdLevel4,
                                           frmTarvonix->ui.cmdLevel5};
        const char* names[] = {"frmgk", "frmgk1", "frmgk2", "frmgk3", "frmgk4"};
        for (int i = 0; i < 5; ++i) {
            harness::Click(levelButtons[i]);
            auto* form = harness::LevelForms()[i];
            QVERIFY(form->IsLoaded());
            QCOMPARE(form->window()->objectName(), QLatin1String(names[i]));
            QVERIFY(form->window()->isVisible());
            QCOMPARE(form->window()->geometry(), frmTarvonix->geometry());
            QCOMPARE(QApplication::activeWindow(), form->window());
            QCOMPARE(runtime::LoadedFormCount(), i + 2);
        }
        QVERIFY(frmTarvonix->isVisible());  // the menu stays, beneath
    }

    void choosingAnOpenLevelOnlyBringsItToTheFront() {
        harness::Click(frmTarvonix->ui.cmdLevel3);
        LevelWindow* window = &*frmgk2;
        harness::Click(window->ui.cmdNext);
        const int shownNo = QuestionNo.value();
        int order[201];
        for (int i = 0; i <= 200; ++i) order[i] = QuestionOrder(i).value();
        const QString question = window->ui.Text1->text();
        frmTarvonix->activateWindow();
        harness::Click(frmTarvonix->ui.cmdLevel3);
        QCOMPARE(&*frmgk2, window);
        QCOMPARE(QuestionNo.value(), shownNo);
        for (int i = 0; i <= 200; ++i) QCOMPARE(QuestionOrder(i).value(), order[i]);
        QCOMPARE(window->ui.Text1->text(), question);
        QCOMPARE(window->ui.cmdNext->text(), QStringLiteral("&Next"));
        QCOMPARE(QApplication::activeWindow(), window);
    }

    void accessKeysPressTheButtons() {
        for (int i = 0; i < 5; ++i) {
            frmTarvonix->activateWindow();
            harness::AccessKey(frmTarvonix.window(), char('1' + i));
            QVERIFY2(harness::LevelForms()[i]->IsLoaded(), "Alt+digit opens the level");
        }
        frmTarvonix->activateWindow();
        harness::AccessKey(frmTarvonix.window(), 'x');
        QVERIFY(!frmTarvonix.IsLoaded());
        QVERIFY(frmAbout.IsLoaded());
    }

    void escapeLeavesTheMenuLikeExit() {
        QTest::keyClick(frmTarvonix.window(), Qt::Key_Escape);
        QVERIFY(!frmTarvonix.IsLoaded());
        QVERIFY(frmAbout.IsLoaded());
    }

    void exitUnloadsTheMenuBeforeTheAboutBoxShows() {
        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        harness::Click(frmTarvonix->ui.cmdExit);
        qApp->removeEventFilter(&watcher);
        QVERIFY(watcher.seen);
        QVERIFY(!watcher.menuLoadedThen);
        QVERIFY(!frmTarvonix.IsLoaded());
        QVERIFY(frmAbout->isVisible());
        QVERIFY(!runtime::HasEnded());  // the last form went and another came in one handler
        harness::Click(frmAbout->ui.cmdOK);
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void aLevelWindowLeftOpenKeepsTheProgramRunning() {
        harness::Click(frmTarvonix->ui.cmdLevel2);
        harness::Click(frmTarvonix->ui.cmdExit);
        QVERIFY(frmgk1.IsLoaded());
        QVERIFY(frmAbout.IsLoaded());
        harness::Click(frmAbout->ui.cmdOK);
        QVERIFY(!runtime::HasEnded());
        QVERIFY(frmgk1->isVisible());
        harness::Click(frmgk1->ui.cmdQuit);
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void clickingExitTwiceShowsOneAboutBox() {
        QPushButton* exit = frmTarvonix->ui.cmdExit;
        harness::Click(exit);
        AboutBox* about = &*frmAbout;
        harness::Click(exit);  // the menu is already gone: its hidden button takes no click
        QCOMPARE(&*frmAbout, about);
        QVERIFY(!runtime::HasEnded());
    }
};

QTEST_MAIN(MenuTest)
#include "test_menu.moc"
