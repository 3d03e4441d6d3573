#pragma once
// Controls whose behaviour Qt's own widgets do not give in the shape the program expects.

#include <QFrame>
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

// A picture of a form's design, by its resource path. On a screen scaled above 1x it is
// the picture's 2x rendering ("name@2x.ext", beside it) where there is one, so that it
// stays sharp; its device pixel ratio keeps it at the design's size.
QPixmap DesignPicture(const char* path);

// An Image control: shows its picture at natural size from its upper-left corner.
class Image : public QLabel {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    Picture picture() const;
    void setPicture(const Picture& picture);
};

// A single-line text box. Setting its text shows the text from its first character,
// whatever its length.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setText(const QString& text);

    // Where the character at `offset` is drawn, in the box's coordinates; empty when there
    // is no such character.
    QRect CharacterRect(int offset) const;
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
