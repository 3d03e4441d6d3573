#include "Controls.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>


namespace runtime {

Picture LoadPicture() { return {}; }

QImage ReadPicture(const QString& file) {
    QImageReader reader(file, QFileInfo(file).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

Image::Image(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignTop); }

Picture Image::picture() const { return {pixmap(), accessibleName()}; }

void Image::setPicture(const Picture& picture) {
    if (picture.IsEmpty()) {
        clear();
    } else {
        setPixmap(picture.pixmap);
    }
    setAccessibleName(picture.description);
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::setText(const QString& text) {
    QLineEdit::setText(text);
    setCursorPosition(0);
}

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(contentsRect().adjusted(1, 1, -2, -2));
}

}  // namespace runtime
