// What the player sees beyond the layout of each window: the designs' fonts and colours
// drawn as the toolkit draws style sheets, the embedded fonts and only those, one palette for the faces
// of every button, the pictures, the program's one icon on every window, and covered windows drawn
// whole again when they come to the front.

#include "Harness.h"
#include "runtime/Controls.h"
#include "runtime/DesignStyle.h"
#include "runtime/Look.h"

#include <QBackingStore>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QStyle>
#include <functional>
#include <memory>

namespace {

using Make = std::function<QWidget*(QWidget* window)>;

// Appends `value` as `count` bytes, the lowest first, as a bitmap file stores its numbers.
void Put(QByteArray& bytes, qint64 value, int count) {
    for (int i = 0; i < count; ++i) bytes.append(char((value >> (8 * i)) & 0xff));
}

const uchar* Bytes(const QByteArray& bytes) { return reinterpret_cast<const uchar*>(bytes.constData()); }

// Where `bmp` starts once copied into `buffer` `shift` bytes past the buffer's start,
// which lies on a 32-bit boundary.
const uchar* Shifted(QByteArray& buffer, const QByteArray& bmp, int shift) {
    buffer = QByteArray(shift, '\0') + bmp;
    return Bytes(buffer) + shift;
}

// A 200x60 window holding one control made by `make`, given `style` as its style sheet,
// or as its design style.
std::unique_ptr<QWidget> Window(const Make& make, const QString& style, bool design, bool enabled) {
    auto window = std::make_unique<QWidget>();
    window->resize(200, 60);
    QWidget* control = make(window.get());
    control->setObjectName(QStringLiteral("control"));
    control->setGeometry(4, 4, 190, 50);
    if (design) {
        control->setProperty(runtime::DesignStyleProperty, style);
    } else {
        control->setStyleSheet(style);
    }
    control->setEnabled(enabled);
    return window;
}

// Whether the toolkit's style sheet engine draws the control.
bool DrawnBySheetEngine(const QWidget* control) {
    return control->style()->inherits("QStyleSheetStyle");
}

QImage Drawn(QWidget* window) {
    window->ensurePolished();
    return window->grab().toImage();
}

// What a window's buffer holds, as the player would see it if it were shown now.
QImage Buffer(QWidget* window) {
    return static_cast<QImage*>(window->backingStore()->paintDevice())->convertToFormat(QImage::Format_RGB32);
}

// Whether a window keeps a buffer of its whole drawing.
bool KeepsItsDrawing(QWidget* window) { return window->backingStore()->size() == window->size(); }

// Something of the window is to be drawn: here one of its controls.
void DrawPartOf(QWidget* control) {
    control->update();
    QApplication::processEvents();
}

QWidget* Label(QWidget* w) { return new QLabel(QStringLiteral("Level 1 completed"), w); }
QWidget* Button(QWidget* w) { return new QPushButton(QStringLiteral("E&xit"), w); }
QWidget* TextBox(QWidget* w) {
    auto* box = new runtime::TextBox(w);
    box->setText(QStringLiteral("BHARAT RATNA FOR 1987 WENT TO"));
    return box;
}
QWidget* Panel(QWidget* w) {
    auto* panel = new runtime::PictureBox(w);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    new QLabel(QStringLiteral("7, Lamplighter Street"), panel);
    return panel;
}

}  // namespace

class LookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(); }

    void designStylesDrawAsTheToolkitDrawsStyleSheets_data() {
        QTest::addColumn<Make>("make");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("label: font and colour")
            << Make(Label) << QStringLiteral("font-family: \"Times New Roman\"; font-size: 15.75pt; font-weight: 700; "
                                             "color: rgb(255, 0, 0);");
        QTest::newRow("label: italic on white")
            << Make(Label)
            << QStringLiteral("font-family: \"Times New Roman\"; font-size: 20.25pt; font-weight: 700; "
                              "font-style: italic; color: rgb(0, 0, 255); background-color: rgb(255, 255, 255);");
        QTest::newRow("label: demibold, then what a level adds")
            << Make(Label)
            << QStringLiteral("font-family: \"Bookman Old Style\"; font-size: 15.75pt; font-weight: 600; "
                              "color: rgb(255, 0, 0); font-family: \"Times New Roman\"; font-weight: 700; "
                              "color: #0000c0;");
        QTest::newRow("label: colour only") << Make(Label) << QStringLiteral("color: rgb(255, 0, 0);");
        QTest::newRow("button")
            << Make(Button) << QStringLiteral("font-family: \"MS Sans Serif\"; font-size: 8.25pt; font-weight: 700;");
        QTest::newRow("text box")
            << Make(TextBox) << QStringLiteral("font-family: \"Times New Roman\"; font-size: 9.75pt; font-weight: 700;");
        QTest::newRow("sunken panel named in its own sheet")
            << Make(Panel) << QStringLiteral("#control { background-color: rgb(255, 192, 192); }");
    }

    // Each kind of control with each kind of declaration the designs use, drawn once by
    // the toolkit's style sheet engine and once with the declarations applied as design
    // style: pixel for pixel the same, enabled and disabled.
    void designStylesDrawAsTheToolkitDrawsStyleSheets() {
        QFETCH(Make, make);
        QFETCH(QString, sheet);
        for (bool enabled : {true, false}) {
            auto byToolkit = Window(make, sheet, false, enabled);
            auto applied = Window(make, sheet, true, enabled);
            runtime::ApplyDesignStyles(applied.get());
            auto* control = applied->findChild<QWidget*>(QStringLiteral("control"));
            QVERIFY(control->styleSheet().isEmpty());
            QVERIFY(!DrawnBySheetEngine(control));
            QCOMPARE(Drawn(applied.get()), Drawn(byToolkit.get()));
        }
    }

    // A design style with anything the designs do not use becomes the control's style
    // sheet, for the toolkit to draw; a control's own style sheet stays as it is.
    void otherDesignStylesGoToTheToolkit() {
        const QString others[] = {
            QStringLiteral("border: 1px solid red;"),
            QStringLiteral("font-size: 16px;"),
            QStringLiteral("color: red;"),
            QStringLiteral("font-family: \"Times New Roman\", serif;"),
            QStringLiteral("#other { color: rgb(255, 0, 0); }"),
            QStringLiteral("QLabel { color: rgb(255, 0, 0); }"),
        };
        for (const QString& style : others) {
            QWidget window;
            auto* panel = new QFrame(&window);
            panel->setObjectName(QStringLiteral("control"));
            panel->setProperty(runtime::DesignStyleProperty, style);
            runtime::ApplyDesignStyles(&window);
            QCOMPARE(panel->styleSheet(), style);
        }
        // A button's background is part of its look, which the sheet engine draws.
        QWidget window;
        auto* button = new QPushButton(&window);
        const QString background = QStringLiteral("background-color: rgb(255, 192, 192);");
        button->setProperty(runtime::DesignStyleProperty, background);
        auto* label = new QLabel(&window);
        const QString own = QStringLiteral("font-size: 12pt;");
        label->setStyleSheet(own);
        runtime::ApplyDesignStyles(&window);
        QCOMPARE(button->styleSheet(), background);
        QCOMPARE(label->styleSheet(), own);
    }

    // The forms' controls are drawn without the style sheet engine.
    void formsCarryNoStyleSheets() {
        harness::StartProgram();
        frmTarvonix->ui.cmdLevel1->click();
        frmTarvonix->ui.cmdLevel3->click();
        frmTarvonix->ui.cmdExit->click();
        for (QWidget* window : {static_cast<QWidget*>(frmgk.window()), static_cast<QWidget*>(frmgk2.window()),
                                static_cast<QWidget*>(frmAbout.window())}) {
            QVERIFY(window);
            QVERIFY(!DrawnBySheetEngine(window));
            for (QWidget* control : window->findChildren<QWidget*>())
                QVERIFY2(!DrawnBySheetEngine(control), qPrintable(control->objectName()));
        }
    }

    // The program draws with its embedded fonts alone: the design's names map to them,
    // and no font of the machine is known, even where one of the same name is installed.
    void onlyTheEmbeddedFontsAreKnown() {
        const QStringList embedded = {QStringLiteral("Liberation Serif"), QStringLiteral("Liberation Sans"),
                                      QStringLiteral("TeX Gyre Bonum")};
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(), embedded[0]);
        QCOMPARE(QFontInfo(QFont(QStringLiteral("MS Sans Serif"))).family(), embedded[1]);
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Bookman Old Style"))).family(), embedded[2]);
        QCOMPARE(QFontInfo(QApplication::font()).family(), embedded[1]);
        for (const QString& family : QFontDatabase::families()) {
            // The toolkit's own generic names stand for the fonts it knows.
            if (family == QLatin1String("Serif") || family == QLatin1String("Sans Serif") ||
                family == QLatin1String("Monospace"))
                continue;
            QVERIFY2(embedded.contains(family), qPrintable(family));
        }
    }

    // Every button with the application's colours, in any window, draws its faces with
    // the one application palette, although each holds a copy of its own.
    void buttonFacesShareOnePalette() {
        harness::StartProgram();
        frmTarvonix->ui.cmdLevel1->click();
        frmTarvonix->ui.cmdLevel2->click();
        const QPalette application = QApplication::palette();
        const QPalette own[] = {frmTarvonix->ui.cmdExit->palette(), frmgk->ui.cmdNext->palette(),
                                frmgk1->ui.Command3->palette()};
        QVERIFY(own[0].cacheKey() != own[1].cacheKey());  // copies, each of its own
        for (const QPalette& palette : own) QCOMPARE(runtime::FacePalette(palette).cacheKey(), application.cacheKey());

        QPalette coloured = application;
        coloured.setColor(QPalette::Button, QColor(255, 192, 192));
        QCOMPARE(runtime::FacePalette(coloured).cacheKey(), coloured.cacheKey());
    }

    // The program's pictures read by their suffix are the pictures the toolkit finds in
    // them when left to guess, the 2x renderings at the ratio 2; the menu's bitmaps and
    // the icon are drawn from the executable's bytes, not from a copy.
    void picturesAreReadAsTheyAre() {
        for (const char* file : {":/pictures/menu.bmp", ":/pictures/tarvonix.bmp", ":/pictures/face-right.png",
                                 ":/pictures/face-wrong.png", ":/pictures/menu@2x.bmp", ":/pictures/tarvonix@2x.bmp",
                                 ":/pictures/face-right@2x.png", ":/pictures/face-wrong@2x.png"}) {
            const QImage read = runtime::ReadPicture(QLatin1String(file));
            QVERIFY2(!read.isNull(), file);
            QCOMPARE(read, QImage(QLatin1String(file)));
            QCOMPARE(read.devicePixelRatio(), QByteArray(file).contains("@2x") ? 2.0 : 1.0);
        }
        for (const char* file :
             {":/pictures/menu.bmp", ":/pictures/menu@2x.bmp", ":/pictures/tarvonix.bmp", ":/pictures/tarvonix@2x.bmp"}) {
            const QResource bitmap{QLatin1String(file)};
            const QImage inPlace = runtime::ReadPicture(bitmap.fileName());
            QVERIFY2(inPlace.constBits() > bitmap.data() && inPlace.constBits() < bitmap.data() + bitmap.size(), file);
        }
        // The icon keeps its transparent shadow corner.
        const QImage icon = runtime::ReadPicture(QStringLiteral(":/pictures/tarvonix.bmp"));
        QCOMPARE(icon.format(), QImage::Format_ARGB32);
        QCOMPARE(qAlpha(icon.pixel(0, 31)), 0);
        QCOMPARE(qAlpha(icon.pixel(10, 10)), 255);
        harness::StartProgram();
        QCOMPARE(frmTarvonix->picture().format(), QImage::Format_Indexed8);  // drawn as it is, not widened
    }

    // A top-down 8-bit bitmap is the picture the toolkit decodes from it, whether its rows
    // lie on 32-bit boundaries (drawn in place) or not (copied); any other bitmap is left
    // to the toolkit's reader.
    void topDownBitmapsAreDrawnFromTheirBytes() {
        constexpr int Width = 5, Height = 3, Stride = 8, Offset = 14 + 40 + 4 * 4;
        QByteArray bmp("BM");
        Put(bmp, Offset + Stride * Height, 4), Put(bmp, 0, 4), Put(bmp, Offset, 4);
        Put(bmp, 40, 4), Put(bmp, Width, 4), Put(bmp, -Height, 4), Put(bmp, 1, 2), Put(bmp, 8, 2), Put(bmp, 0, 4);
        Put(bmp, Stride * Height, 4), Put(bmp, 3780, 4), Put(bmp, 3780, 4), Put(bmp, 4, 4), Put(bmp, 4, 4);
        for (QRgb colour : {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 246)})
            Put(bmp, qBlue(colour) | qGreen(colour) << 8 | qRed(colour) << 16, 4);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Stride; ++x) bmp.append(char(x < Width ? (x + y) % 4 : 0));
        const QImage decoded = QImage::fromData(bmp, "BMP");
        QCOMPARE(decoded.size(), QSize(Width, Height));

        for (int shift : {0, 1, 2, 3}) {
            QByteArray buffer;
            const uchar* data = Shifted(buffer, bmp, shift);
            const QImage image = runtime::TopDownBitmap(data, bmp.size());
            QCOMPARE(image, decoded);
            const bool aligned = reinterpret_cast<quintptr>(data + Offset) % 4 == 0;
            QCOMPARE(image.constBits() == data + Offset, aligned);
        }
        QVERIFY(runtime::TopDownBitmap(Bytes(bmp), bmp.size() - 1).isNull());  // a row cut short
        QByteArray bottomUp = bmp;
        bottomUp[22] = char(Height);
        QVERIFY(runtime::TopDownBitmap(Bytes(bottomUp), bmp.size()).isNull());
        QByteArray fourBit = bmp;
        fourBit[28] = 4;
        QVERIFY(runtime::TopDownBitmap(Bytes(fourBit), bmp.size()).isNull());
    }

    // So is a top-down 32-bit bitmap with alpha whose bytes are blue, green, red and alpha,
    // as the icon is stored; with other masks it is left to the toolkit's reader.
    void topDownBitmapsWithAlphaAreDrawnFromTheirBytes() {
        constexpr int Width = 3, Height = 2, Offset = 124;
        QByteArray bmp("BM");
        Put(bmp, Offset + 4 * Width * Height, 4), Put(bmp, 0, 4), Put(bmp, Offset, 4);
        Put(bmp, 108, 4), Put(bmp, Width, 4), Put(bmp, -Height, 4), Put(bmp, 1, 2), Put(bmp, 32, 2), Put(bmp, 3, 4);
        Put(bmp, 4 * Width * Height, 4), Put(bmp, 3780, 4), Put(bmp, 3780, 4), Put(bmp, 0, 4), Put(bmp, 0, 4);
        Put(bmp, 0x00ff0000, 4), Put(bmp, 0x0000ff00, 4), Put(bmp, 0x000000ff, 4), Put(bmp, 0xff000000, 4);
        bmp.append("BGRs").append(QByteArray(48 + 2, '\0'));
        QCOMPARE(bmp.size(), Offset);
        const QRgb pixels[Height][Width] = {{qRgba(255, 0, 0, 255), qRgba(0, 128, 0, 128), qRgba(0, 0, 0, 0)},
                                            {qRgba(250, 250, 246, 255), qRgba(0, 0, 255, 90), qRgba(28, 28, 40, 255)}};
        for (const auto& row : pixels)
            for (QRgb pixel : row) Put(bmp, pixel, 4);
        const QImage decoded = QImage::fromData(bmp, "BMP");
        QCOMPARE(decoded.pixel(1, 0), pixels[0][1]);

        for (int shift : {0, 2}) {
            QByteArray buffer;
            const uchar* data = Shifted(buffer, bmp, shift);
            const QImage image = runtime::TopDownBitmap(data, bmp.size());
            QCOMPARE(image.format(), QImage::Format_ARGB32);
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x) QCOMPARE(image.pixel(x, y), decoded.pixel(x, y));
            QCOMPARE(image.constBits() == data + Offset, shift == 0);
        }
        QVERIFY(runtime::TopDownBitmap(Bytes(bmp), bmp.size() - 1).isNull());  // a row cut short
        QByteArray redFirst = bmp;
        redFirst[54] = char(0xff), redFirst[56] = 0;  // the red mask on the first byte
        QVERIFY(runtime::TopDownBitmap(Bytes(redFirst), bmp.size()).isNull());
        QByteArray plain = bmp;
        plain[30] = 0;  // BI_RGB: the fourth byte means nothing
        QVERIFY(runtime::TopDownBitmap(Bytes(plain), bmp.size()).isNull());
    }

    // A form's picture is drawn from the upper-left corner; wherever it does not reach,
    // the window shows its own colour.
    void aPictureSmallerThanItsWindowLeavesTheWindowColour() {
        const QImage picture = runtime::ReadPicture(QStringLiteral(":/pictures/menu.bmp"));
        for (QSize size : {QSize(640, 480), QSize(800, 600)}) {
            runtime::FormWindow window;
            window.resize(size);
            window.setPictureFile(QStringLiteral(":/pictures/menu.bmp"));
            const QImage drawn = Drawn(&window).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(drawn.pixel(10, 10), picture.pixel(10, 10));
            QCOMPARE(drawn.pixel(639, 479), picture.pixel(639, 479));
            if (size.width() > picture.width()) {
                const QRgb background = window.palette().color(QPalette::Window).rgb();
                QCOMPARE(drawn.pixel(size.width() - 1, 10), background);
                QCOMPARE(drawn.pixel(10, size.height() - 1), background);
            }
        }
    }

    // A window that the window in front covers keeps no buffer of its drawing, whatever
    // makes it draw while covered; in front again, the first thing it draws brings back the
    // whole window, as the player is to see it, not that part alone. The menu, covered by
    // its own picture, keeps its buffer: it is uncovered each time a level is left.
    void coveredWindowsKeepNoDrawing() {
        harness::StartProgram();
        MainMenu* menu = &*frmTarvonix;
        DrawPartOf(menu);
        QVERIFY(KeepsItsDrawing(menu));

        LevelWindow* first = harness::OpenLevel(0);
        QVERIFY(first->isActiveWindow());
        DrawPartOf(first);
        QVERIFY(KeepsItsDrawing(first));
        DrawPartOf(menu->ui.cmdLevel3);
        QVERIFY(KeepsItsDrawing(menu));

        // A second level over the first, opened from the menu below them.
        LevelWindow* second = harness::OpenLevel(1);
        DrawPartOf(second);
        QVERIFY(KeepsItsDrawing(second));
        QVERIFY(!KeepsItsDrawing(first));
        QVERIFY(KeepsItsDrawing(menu));

        harness::Click(first->ui.cmdNext);  // a press in the covered window draws it
        QVERIFY(!KeepsItsDrawing(first));

        harness::Click(second->ui.cmdQuit);
        QVERIFY(first->isActiveWindow());
        DrawPartOf(first->ui.Label10);
        QVERIFY(KeepsItsDrawing(first));
        QCOMPARE(Buffer(first), first->grab().toImage().convertToFormat(QImage::Format_RGB32));

        harness::Click(first->ui.cmdQuit);
        DrawPartOf(menu->ui.cmdExit);
        QVERIFY(KeepsItsDrawing(menu));
        QCOMPARE(Buffer(menu), menu->grab().toImage().convertToFormat(QImage::Format_RGB32));

        // A window that only part of another lies over keeps its drawing.
        LevelWindow* third = harness::OpenLevel(2);
        LevelWindow* fourth = harness::OpenLevel(3);
        QVERIFY(!KeepsItsDrawing(third));
        fourth->move(fourth->pos() + QPoint(10, 10));
        fourth->activateWindow();
        DrawPartOf(third->ui.cmdQuit);
        QVERIFY(KeepsItsDrawing(third));
    }

    // One icon, the program's, on every window: no window decodes an icon of its own.
    void everyWindowShowsTheProgramsIcon() {
        harness::StartProgram();
        frmTarvonix->ui.cmdLevel5->click();
        const qint64 icon = QApplication::windowIcon().cacheKey();
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(frmTarvonix->windowIcon().cacheKey(), icon);
        QCOMPARE(frmgk4->windowIcon().cacheKey(), icon);
        frmTarvonix->ui.cmdExit->click();
        QCOMPARE(frmAbout->windowIcon().cacheKey(), icon);
    }
};

QTEST_MAIN(LookTest)
#include "test_look.moc"
