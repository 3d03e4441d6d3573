#include "Controls.h"


namespace runtime {

Picture LoadPicture() { return {}; }

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

}  // namespace runtime
