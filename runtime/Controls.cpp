#include "Controls.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>


namespace runtime {

Picture LoadPicture() { return {}; }

QPixmap DesignPicture(const char* path) {
    const QString design = QString::fromUtf8(path);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->devicePixelRatio() > 1.0) {
        const qsizetype dot = design.lastIndexOf(QLatin1Char('.'));
        const QString twice = design.left(dot) + QStringLiteral("@2x") + design.mid(dot);
        // Qt reads the ratio 2 from the "@2x" in the name.
        if (QFile::exists(twice)) return QPixmap(twice);
    }
    return QPixmap(design);
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

QRect TextBox::CharacterRect(int offset) const {
    const QString shown = text();
    if (offset < 0 || offset >= shown.size()) return {};
    // Measured from where the text cursor stands, which already allows for the frame, the
    // margins and how far the text is scrolled. Each character reaches to where the next
    // begins, so the characters tile the line.
    const QFontMetrics metrics = fontMetrics();
    const QRect cursor = cursorRect();
    const int origin = cursor.center().x() - metrics.horizontalAdvance(shown.left(cursorPosition()));
    const int left = origin + metrics.horizontalAdvance(shown.left(offset));
    const int right = origin + metrics.horizontalAdvance(shown.left(offset + 1));
    return {left, cursor.top(), right - left, cursor.height()};
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
