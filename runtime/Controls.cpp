#include "Controls.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QResource>
#include <QScreen>
#include <QtEndian>
#include <cstring>

namespace runtime {

namespace {

// What Qt's naming adds to a picture's file name for its 2x rendering.
constexpr QLatin1String TwiceMark("@2x");

}  // namespace

Picture LoadPicture() { return {}; }

QString ScreenPicture(const QString& design) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->devicePixelRatio() > 1.0) {
        const qsizetype dot = design.lastIndexOf(QLatin1Char('.'));
        const QString twice = design.left(dot) + TwiceMark + design.mid(dot);
        if (QFile::exists(twice)) return twice;
    }
    return design;
}

QPixmap DesignPicture(const char* path) {
    return QPixmap::fromImage(ReadPicture(ScreenPicture(QString::fromUtf8(path))));
}

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
        if (QImage inPlace = TopDownBitmap(resource.data(), resource.size()); !inPlace.isNull()) {
            inPlace.setDevicePixelRatio(file.contains(TwiceMark) ? 2.0 : 1.0);
            return inPlace;
        }
    }
    // The toolkit's reader takes a "@2x" rendering's ratio from its name.
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
