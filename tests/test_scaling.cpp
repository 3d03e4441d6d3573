// The windows on a scaled screen: each picture is shown in the rendering the screen asks
// for (the design's 1x one, or its 2x one on a screen scaled above 100 %), both renderings
// show the same picture, and every caption still fits its control as designed. CTest runs
// this suite at 100 %, 125 %, 150 % and 200 %.

#include "Harness.h"

#include "bank/Levels.h"
#include "runtime/Controls.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>

namespace {

double ScreenScale() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }

// Whether the screen asks for the 2x renderings.
bool Scaled() { return ScreenScale() > 1.0; }

// The design picture at 1x, as the file holds it.
QImage Design(const char* name) { return QImage(QStringLiteral(":/pictures/") + QLatin1String(name)); }

// Mean difference per channel (0 to 255) between two same-sized images, premultiplied so
// that the colour under a transparent pixel does not count.
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
                   std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * x.width() * x.height());
}

// A 2x rendering brought to 1x by averaging each 2x2 block, premultiplied.
QImage Halved(const QImage& twice) {
    const QImage t = twice.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage half(t.width() / 2, t.height() / 2, QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < half.height(); ++row)
        for (int col = 0; col < half.width(); ++col) {
            int sums[4] = {};
            for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QRgb p = t.pixel(2 * col + d.x(), 2 * row + d.y());
                sums[0] += qRed(p), sums[1] += qGreen(p), sums[2] += qBlue(p), sums[3] += qAlpha(p);
            }
            half.setPixel(col, row, qRgba((sums[0] + 2) / 4, (sums[1] + 2) / 4, (sums[2] + 2) / 4, (sums[3] + 2) / 4));
        }
    return half;
}

// The picture a form shows is the design's at 1x, or its 2x rendering on a scaled screen,
// either way at the design's size.
void ExpectRendering(const QPixmap& shown, const char* name) {
    const QImage design = Design(name);
    QCOMPARE(shown.deviceIndependentSize(), QSizeF(design.size()));
    if (Scaled()) {
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QCOMPARE(shown.size(), design.size() * 2);
    } else {
        QCOMPARE(shown.devicePixelRatio(), 1.0);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 design.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

// The design's own longest option, wider than any option label at every scale.
constexpr QStringView kWiderThanItsLabel = u"LARRY COLLINS AND DOMINIQUE LAPPIERRE";

// Every caption of a window lies within its label on the lines the label has room for:
// one line for each caption but the About box's warning, which wraps within its height.
void ExpectCaptionsFit(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) continue;
        if (label->text() == kWiderThanItsLabel) continue;
        const QString what = label->objectName() + QStringLiteral(": ") + label->text();
        const QRectF room = label->contentsRect();
        const QFontMetricsF metrics(label->font(), label);
        const QRectF needed = metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text());
        QVERIFY2(needed.width() <= room.width() + 0.01, qPrintable(what));
        const int lines = qRound(needed.height() / metrics.lineSpacing());
        if (label->objectName() == QLatin1String("lblDisclaimer")) {
            QVERIFY2(lines * metrics.lineSpacing() <= room.height() + 0.01, qPrintable(what));
        } else {
            QVERIFY2(lines == 1, qPrintable(what + QStringLiteral(" wraps")));
        }
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QFontMetricsF metrics(button->font(), button);
        QString caption = button->text();
        caption.remove(QLatin1Char('&'));
        QVERIFY2(metrics.horizontalAdvance(caption) < button->width(), qPrintable(button->objectName()));
    }
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        const QFontMetricsF metrics(frame->font(), frame);
        QVERIFY2(metrics.horizontalAdvance(frame->title()) < frame->width(), qPrintable(frame->objectName()));
    }
}

}  // namespace

class ScalingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        harness::PrepareSuite();
        // The scale CTest asked for is the one the screen has.
        QCOMPARE(ScreenScale(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    }
    void init() {
        harness::ResetProgram();
        harness::StartProgram();
    }

    void bothRenderingsShowTheSamePicture() {
        const char* pictures[] = {"menu.bmp", "tarvonix.bmp", "face-right.png", "face-wrong.png"};
        for (const char* name : pictures) {
            const QImage once = Design(name);
            QString twiceName = QString::fromLatin1(name);
            twiceName.insert(twiceName.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            const QImage twice(QStringLiteral(":/pictures/") + twiceName);
            QVERIFY2(!twice.isNull(), qPrintable(twiceName));
            QCOMPARE(twice.size(), once.size() * 2);
            QVERIFY2(MeanDifference(Halved(twice), once) < 8.0, name);
        }
        // Drawn, not copied: the faces' 2x renderings are told apart as their 1x ones are.
        const QImage right = Halved(QImage(QStringLiteral(":/pictures/face-right@2x.png")));
        const QImage wrong = Halved(QImage(QStringLiteral(":/pictures/face-wrong@2x.png")));
        QVERIFY(MeanDifference(right, Design("face-right.png")) * 3 < MeanDifference(right, Design("face-wrong.png")));
        QVERIFY(MeanDifference(wrong, Design("face-wrong.png")) * 3 < MeanDifference(wrong, Design("face-right.png")));
        // The faces keep their transparent corners, the menu picture its 256 colours.
        for (const char* name : {"face-right@2x.png", "face-wrong@2x.png"}) {
            const QImage face(QStringLiteral(":/pictures/") + QLatin1String(name));
            QCOMPARE(qAlpha(face.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(face.pixel(63, 63)), 0);
            QCOMPARE(qAlpha(face.pixel(32, 32)), 255);
        }
        QCOMPARE(QImage(QStringLiteral(":/pictures/menu@2x.bmp")).format(), QImage::Format_Indexed8);
    }

    void menuShowsTheRenderingTheScreenAsksFor() {
        ExpectRendering(QPixmap::fromImage(frmTarvonix->picture()), "menu.bmp");
        ExpectRendering(frmTarvonix->windowIcon().pixmap(QSize(32, 32), ScreenScale() > 1 ? 2.0 : 1.0),
                        "tarvonix.bmp");
        // The window shows it from its upper-left corner, pixel for pixel where the scale is whole.
        const QPixmap grabbed = frmTarvonix->grab();
        QCOMPARE(grabbed.deviceIndependentSize(), QSizeF(640, 480));
        const double scale = ScreenScale();
        if (scale == 1.0 || scale == 2.0) {
            const QImage shown = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
            const QImage drawn = frmTarvonix->picture().convertToFormat(QImage::Format_RGB32);
            for (QPoint p : {QPoint(0, 0), QPoint(320, 100), QPoint(639, 0), QPoint(5, 300), QPoint(321, 340)})
                QCOMPARE(shown.pixel(p * scale), drawn.pixel(p * scale));
        }
    }

    void levelFacesShowTheRenderingTheScreenAsksFor() {
        for (auto* form : harness::LevelForms()) {
            form->Load();
            form->Show();
            LevelWindow* w = &**form;
            ExpectRendering(w->ui.Image2->pixmap(), "face-right.png");
            ExpectRendering(w->ui.Image3->pixmap(), "face-wrong.png");
            // An answer shows its face in Image1 at the design's 32 by 32.
            harness::Click(w->ui.cmdNext);
            harness::Click(w->ui.Command1);
            const QPixmap verdict = w->ui.Image1->pixmap();
            QVERIFY(!verdict.isNull());
            QCOMPARE(verdict.deviceIndependentSize(), QSizeF(32, 32));
            QCOMPARE(w->ui.Image1->geometry().topLeft(), QPoint(184, 280));
        }
    }

    void captionsFitAtThisScale() {
        ExpectCaptionsFit(frmTarvonix.window());
        for (auto* form : harness::LevelForms()) {
            form->Load();
            form->Show();
            LevelWindow* w = &**form;
            ExpectCaptionsFit(w);
            harness::Click(w->ui.cmdNext);
            harness::Click(w->ui.Command2);
            ExpectCaptionsFit(w);  // the three counts and their captions
            // Every record of the level, not only the one the shuffle dealt.
            for (int n = 1; n <= 200; ++n) {
                bank::ShowQuestion(w->QuestionSlots(), n);
                ExpectCaptionsFit(w);
                if (QTest::currentTestFailed()) return;
            }
        }
        harness::Click(frmTarvonix->ui.cmdExit);
        ExpectCaptionsFit(frmAbout.window());
    }
};

QTEST_MAIN(ScalingTest)
#include "test_scaling.moc"
