// The windows at 100 %, 125 %, 150 % and 200 % (as CTest runs this suite): each picture in the rendering
// the screen asks for (2x above 100 %), both renderings alike, and every caption fitting its control.

#include "Harness.h"

#include <QGroupBox>
#include <QLabel>
#include <QScreen>

namespace {
double Scale() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }

QImage Picture(const QString& name) { return QImage(":/pictures/" + name).convertToFormat(QImage::Format_ARGB32_Premultiplied); }

// Mean difference per channel (0 to 255) between a 1x picture and its 2x rendering brought down.
double MeanDifference(const QImage& once, QImage twice) {
    twice = twice.scaled(once.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (qsizetype i = 0; i < once.sizeInBytes(); ++i) sum += std::abs(once.constBits()[i] - twice.constBits()[i]);
    return sum / double(once.sizeInBytes());
}

// A shown picture: the design's at 1x, its 2x rendering on a scaled screen.
void ExpectRendering(const QPixmap& shown, const QString& name) {
    const QImage design = Picture(name);  // at the design's size, at 1x the design's pixels
    QCOMPARE(shown.deviceIndependentSize(), QSizeF(design.size()));
    QCOMPARE(shown.devicePixelRatio(), Scale() > 1 ? 2.0 : 1.0);
    if (Scale() == 1) QCOMPARE(shown.toImage().convertToFormat(design.format()), design);
}

// Every caption lies within its control on one line; the About box's warning wraps within its height.
void ExpectCaptionsFit(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->text() == u"LARRY COLLINS AND DOMINIQUE LAPPIERRE") continue;  // by design
        const QFontMetricsF metrics(label->font(), label);
        const QRectF room = label->contentsRect(), needed = metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text());
        const int lines = qRound(needed.height() / metrics.lineSpacing());
        const bool fits = label->objectName() == u"lblDisclaimer" ? lines * metrics.lineSpacing() <= room.height() + 0.01 : lines == 1;
        QVERIFY2(needed.width() <= room.width() + 0.01 && fits, qPrintable(label->objectName() + ": " + label->text()));
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        QVERIFY2(QFontMetricsF(b->font(), b).horizontalAdvance(b->text().remove('&')) < b->width(), qPrintable(b->text()));
    for (QGroupBox* f : window->findChildren<QGroupBox*>())
        QVERIFY2(QFontMetricsF(f->font(), f).horizontalAdvance(f->title()) < f->width(), qPrintable(f->title()));
}
}  // namespace

class ScalingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(), harness::StartProgram(); }

    void picturesInTheRenderingTheScreenAsksFor() {
        QCOMPARE(Scale(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());  // as CTest asked
        for (const QString name : {"menu.bmp", "tarvonix.bmp", "face-right.png", "face-wrong.png"}) {
            const QImage twice = Picture(QString(name).insert(name.lastIndexOf('.'), "@2x"));
            QVERIFY2(MeanDifference(Picture(name), twice) < 8.0, qPrintable(name));
        }
        // Drawn, not copied: the faces' 2x renderings are told apart as their 1x ones are, corners transparent.
        const QImage right = Picture("face-right@2x.png"), wrong = Picture("face-wrong@2x.png");
        QVERIFY(MeanDifference(Picture("face-right.png"), right) * 3 < MeanDifference(Picture("face-wrong.png"), right));
        QVERIFY(MeanDifference(Picture("face-wrong.png"), wrong) * 3 < MeanDifference(Picture("face-right.png"), wrong));
        for (const QImage& face : {right, wrong})
            QVERIFY(qAlpha(face.pixel(0, 0)) + qAlpha(face.pixel(63, 63)) == 0 && qAlpha(face.pixel(32, 32)) == 255);
        ExpectRendering(QPixmap::fromImage(frmTarvonix->picture()), "menu.bmp");
        ExpectRendering(frmTarvonix->windowIcon().pixmap(QSize(32, 32), Scale() > 1 ? 2.0 : 1.0), "tarvonix.bmp");
        const QImage shown = frmTarvonix->grab().toImage().convertToFormat(QImage::Format_RGB32);  // pixel for pixel
        for (QPoint p : {QPoint(0, 0), QPoint(320, 100), QPoint(639, 0), QPoint(5, 300), QPoint(321, 340)})
            if (Scale() == 1 || Scale() == 2) QCOMPARE(shown.pixel(p * Scale()), frmTarvonix->picture().pixel(p * Scale()));
    }

    void windowsAtThisScale() {
        ExpectCaptionsFit(frmTarvonix.window());
        for (int level = 0; level < 5; ++level) {
            LevelWindow* w = harness::OpenLevel(level);
            for (auto [image, name] : {std::pair{w->ui.Image2, "face-right.png"}, {w->ui.Image3, "face-wrong.png"}})
                ExpectRendering(image->pixmap(), name);
            ExpectCaptionsFit(w);
            harness::Click(w->ui.cmdNext);
            harness::Click(w->ui.Command2);  // the verdict's face where designed, at 32 by 32
            QCOMPARE(QRectF(w->ui.Image1->pos(), w->ui.Image1->pixmap().deviceIndependentSize()), QRectF(184, 280, 32, 32));
            for (int n = 0; n <= 200 && !QTest::currentTestFailed(); ++n) {  // the counts, then every record
                if (n) bank::ShowQuestion(w->QuestionSlots(), n);
                ExpectCaptionsFit(w);
            }
        }
        harness::Click(frmTarvonix->ui.cmdExit);
        ExpectCaptionsFit(frmAbout.window());
    }
};

QTEST_MAIN(ScalingTest)
#include "test_scaling.moc"
