#include "Controls.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QResource>
#include <QtEndian>
#include <cstring>

namespace runtime {

Picture LoadPicture() { return {}; }

QImage TopDownBitmap(const uchar* data, qint64 size) {
    auto word = [data](qint64 at) { return qFromLittleEndian<quint16>(data + at); };
    auto dword = [data](qint64 at) { return qFromLittleEndian<qint32>(data + at); };
    constexpr qint64 FileHeader = 14, InfoHeader = 40;
    if (size < FileHeader + InfoHeader || data[0] != 'B' || data[1] != 'M' || dword(14) != InfoHeader) return {};
    const qint64 offset = dword(10), width = dword(18), height = -qint64(dword(22)), colours = dword(46);
    if (width <= 0 || height <= 0 || word(26) != 1 || word(28) != 8 || dword(30) != 0) return {};  // BI_RGB
    const qint64 count = colours == 0 ? 256 : colours;
    const qint64 stride = (width + 3) & ~qint64(3);
    if (count < 0 || count > 256 || offset < FileHeader + InfoHeader + 4 * count || offset > size ||
        stride * height > size - offset)
        return {};
    QList<QRgb> table(count);
    for (qint64 i = 0; i < count; ++i) {
        const uchar* bgr = data + FileHeader + InfoHeader + 4 * i;
        table[i] = qRgb(bgr[2], bgr[1], bgr[0]);
    }
    const uchar* pixels = data + offset;
    QImage image;
    if (reinterpret_cast<quintptr>(pixels) % 4 == 0) {
        image = QImage(pixels, int(width), int(height), stride, QImage::Format_Indexed8);
    } else {
        image = QImage(int(width), int(height), QImage::Format_Indexed8);
        for (int y = 0; y < height; ++y) std::memcpy(image.scanLine(y), pixels + y * stride, size_t(width));
    }
    image.setColorTable(table);
    return image;
}

QImage ReadPicture(const QString& file) {
    const QResource resource(file);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
        if (QImage inPlace = TopDownBitmap(resource.data(), resource.size()); !inPlace.isNull()) return inPlace;
    }
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
