// The About box: its texts, its design, its centring and how it closes.

#include "Harness.h"

#include <QLabel>
#include <cmath>

using harness::Px;
using harness::TextColour;

namespace {

struct Row {
    const char* name;
    const char* parent;
    int left, top, width, height;  // twips
    Qt::Alignment horizontal;
};

const Row Labels[] = {
    {"lblTitle", "frmAbout", 1080, 60, 3885, 480, Qt::AlignHCenter},
    {"lblVersion", "frmAbout", 1080, 580, 3885, 225, Qt::AlignHCenter},
    {"Label2", "Picture1", 0, 120, 3555, 255, Qt::AlignHCenter},
    {"Label3", "Picture1", 0, 360, 3555, 255, Qt::AlignHCenter},
    {"Label4", "Picture1", 0, 600, 3555, 255, Qt::AlignHCenter},
    {"Label5", "Picture1", 0, 840, 3555, 255, Qt::AlignHCenter},
    {"Label6", "Picture1", 0, 1080, 3555, 255, Qt::AlignHCenter},
    {"Label7", "Picture1", 120, 1320, 3555, 255, Qt::AlignHCenter},
    {"Label1", "frmAbout", 120, 2760, 5745, 43, Qt::AlignLeft},
    {"lblDisclaimer", "frmAbout", 240, 2956, 3870, 825, Qt::AlignLeft},
};

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

    AboutBox* about = nullptr;

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() {
        harness::ResetProgram();
        harness::StartProgram();
        harness::Click(frmTarvonix->ui.cmdExit);
        about = &*frmAbout;
    }

    void loadHandlerReplacesTheDesignTexts() {
        QCOMPARE(about->windowTitle(), QStringLiteral("About TARVONIX"));
        QCOMPARE(about->ui.lblTitle->text(), QStringLiteral("TARVONIX"));
        QCOMPARE(about->ui.lblVersion->text(), QStringLiteral("Version 1.0.0"));
    }

    void makerParticularsAreOursAndHarmless() {
        for (QLabel* l : {about->ui.Label2, about->ui.Label3, about->ui.Label4, about->ui.Label5})
            QVERIFY(!l->text().trimmed().isEmpty());
        QVERIFY(about->ui.Label6->text().startsWith(QStringLiteral("url : ")));
        QVERIFY(about->ui.Label6->text().endsWith(QStringLiteral("example.org")));
        QVERIFY(about->ui.Label7->text().startsWith(QStringLiteral("email : ")));
        QVERIFY(about->ui.Label7->text().endsWith(QStringLiteral("@example.org")));
        // Each line fits its 3555-twip width on one line.
        for (QLabel* l : about->ui.Picture1->findChildren<QLabel*>())
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
    }

    void warningHasABlankBeforeEachComma() {
        const QString warning = about->ui.lblDisclaimer->text();
        QVERIFY(warning.count(QLatin1Char(',')) >= 2);
        for (qsizetype i = 0; i < warning.size(); ++i) {
            if (warning[i] == QLatin1Char(',')) QCOMPARE(warning[i - 1], QLatin1Char(' '));
        }
        QVERIFY(warning.contains(QStringLiteral("copying"), Qt::CaseInsensitive));
        // It is all seen: its wrapped lines fit the label's height.
        QLabel* l = about->ui.lblDisclaimer;
        const QRect needed = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 10000),
                                                           Qt::TextWordWrap, warning);
        QVERIFY(needed.height() <= l->height());
        QCOMPARE(TextColour(l), QColor(255, 0, 0));
    }

    void controlsAreAsDesigned() {
        QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about->size(), QSize(398, 255));
        QVERIFY(!(about->windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        for (const Row& row : Labels) {
            auto* l = about->findChild<QLabel*>(QLatin1String(row.name));
            QVERIFY2(l, row.name);
            QCOMPARE(l->parentWidget()->objectName(), QLatin1String(row.parent));
            QCOMPARE(l->geometry(), Px(row.left, row.top, row.width, row.height));
            QCOMPARE(l->alignment() & Qt::AlignHorizontal_Mask, row.horizontal);
        }
        QCOMPARE(about->ui.Picture1->geometry(), Px(1140, 960, 3705, 1739));
        QCOMPARE(about->ui.cmdOK->geometry(), Px(4920, 3327, 910, 390));
        QCOMPARE(about->ui.cmdOK->text(), QStringLiteral("&Ok"));
        QCOMPARE(about->ui.lblTitle->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(about->ui.lblTitle->font().pointSizeF(), 20.25);
        QVERIFY(about->ui.lblTitle->font().bold());
        QCOMPARE(TextColour(about->ui.lblTitle), QColor(0, 0, 255));
        QCOMPARE(TextColour(about->ui.lblVersion), QColor(255, 0, 0));
        QCOMPARE(TextColour(about->ui.Label6), QColor(0, 0, 192));
        QCOMPARE(TextColour(about->ui.Label7), QColor(0, 0, 192));
        QCOMPARE(about->ui.Label2->font().pointSizeF(), 9.75);
        QVERIFY(about->ui.Label2->font().bold());
        QCOMPARE(about->ui.Label1->frameShape(), QFrame::Box);
        // The pink panel.
        const QImage panel = about->ui.Picture1->grab().toImage();
        QCOMPARE(QColor(panel.pixel(panel.width() / 2, panel.height() - 8)), QColor(255, 192, 192));
    }

    void centredOnTheScreen() {
        // 1024 by 768 pixels: 15360 by 11520 twips.
        QVERIFY(std::fabs(about->Left() - (7680.0f - about->Width() / 2)) <= 7.5f);
        QVERIFY(std::fabs(about->Top() - (5760.0f - about->Height() / 2)) <= 7.5f);
    }

    void tabOrderIsOkThenThePanel() {
        QCOMPARE(QApplication::focusWidget(), about->ui.cmdOK);  // the box opens on OK
        const QStringList walk = harness::TabWalk(about->ui.cmdOK);
        QCOMPARE(walk, QStringList({"cmdOK", "Picture1"}));
    }

    void panelShowsWhenItHasTheFocus() {
        QVERIFY(!about->ui.Picture1->hasFocus());
        const QImage unfocused = about->ui.Picture1->grab().toImage();
        QTest::keyClick(about, Qt::Key_Tab);
        QVERIFY(about->ui.Picture1->hasFocus());
        QVERIFY(about->ui.Picture1->grab().toImage() != unfocused);
    }

    void okEndsTheProgram() {
        harness::Click(about->ui.cmdOK);
        QVERIFY(!frmAbout.IsLoaded());
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void altOEndsTheProgram() {
        harness::AccessKey(about, 'o');
        QVERIFY(runtime::HasEnded());
    }

    void enterAndEscapePressOk_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void enterAndEscapePressOk() {
        QFETCH(int, key);
        QTest::keyClick(about, Qt::Key(key));
        QVERIFY(!frmAbout.IsLoaded());
        QVERIFY(runtime::HasEnded());
    }

    void closeBoxEndsTheProgramToo() {
        QCloseEvent close;
        QApplication::sendEvent(about, &close);
        QVERIFY(!frmAbout.IsLoaded());
        QVERIFY(runtime::HasEnded());
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
