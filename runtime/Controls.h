#pragma once
// Controls whose behaviour Qt's own widgets do not give in the shape the program expects.

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QString>

namespace runtime {

// A picture as an Image control holds it: the bitmap and what it shows, in words,
// so that a screen reader can say what a copied picture means.
struct Picture {
    QPixmap pixmap;
    QString description;

    bool IsEmpty() const { return pixmap.isNull(); }
};

// The empty picture: an Image given it shows nothing.
Picture LoadPicture();

// The file of a design picture, by its resource path, to draw on this screen: on a screen
// scaled above 1x it is the picture's 2x rendering ("name@2x.ext", beside it) where there
// is one, so that it stays sharp; else the design's own.
QString ScreenPicture(const QString& design);

// A picture of a form's design, by its resource path, in the rendering the screen asks
// for (ScreenPicture), read by ReadPicture; its device pixel ratio keeps it at the
// design's size.
QPixmap DesignPicture(const char* path);

// Reads a picture file with the toolkit's own reader for its suffix (".bmp", ".png").
// Left to guess, the toolkit would first load every image format plugin installed on
// the machine and ask each whether it wants the file; these files are the program's own.
// An uncompressed resource that is a bitmap TopDownBitmap takes is not decoded at all:
// the picture is its pixels where they lie in the executable. A 2x rendering ("@2x" in
// its name) has the device pixel ratio 2.
QImage ReadPicture(const QString& file);

// The picture in the bytes of a bitmap (BMP) whose rows run from the top down and that
// is either an uncompressed 8-bit palette bitmap or a 32-bit one with alpha whose bytes
// are blue, green, red and alpha: drawn from the bytes themselves where its rows start on
// 32-bit boundaries, as the toolkit requires of pixels it does not own, else from a copy.
// A null image for any other file.
QImage TopDownBitmap(const uchar* data, qint64 size);

// An Image control: shows its picture at natural size from its upper-left corner.
class Image : public QLabel {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    Picture picture() const;
    void setPicture(const Picture& picture);
};

// A single-line text box. Setting its text shows the text from its first character,
// whatever its length. Taking the focus leaves its text unselected, however the focus came.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setText(const QString& text);

    // Where the character at `offset` is drawn, in the box's coordinates; empty when there
    // is no such character.
    QRect CharacterRect(int offset) const;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// A PictureBox: a panel that holds other controls. When it has the focus it shows a
// focus rectangle, so a player who tabs to it sees where the focus went.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace runtime
