#include "Controls.h"

#include <QFile>
#include <QFocusEvent>
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
    constexpr qint64 FileHeader = 14, InfoHeader = 40, Version4Header = 108;
    constexpr qint32 Plain = 0, Masked = 3;  // BI_RGB, BI_BITFIELDS
    if (size < FileHeader + InfoHeader || data[0] != 'B' || data[1] != 'M') return {};
    const qint64 header = dword(14);
    const qint64 offset = dword(10), width = dword(18), height = -qint64(dword(22));
    const int depth = word(28);
    const qint32 compression = dword(30);
    if (width <= 0 || height <= 0 || width > 0x7fff || height > 0x7fff || word(26) != 1 || offset > size) return {};

    QImage::Format format = QImage::Format_Invalid;
    QList<QRgb> table;
    if (depth == 8 && header == InfoHeader && compression == Plain) {
        const qint64 colours = dword(46);
        const qint64 count = colours == 0 ? 256 : colours;
        if (count < 0 || count > 256 || offset < FileHeader + InfoHeader + 4 * count) return {};
        table.resize(count);
        for (qint64 i = 0; i < count; ++i) {
            const uchar* bgr = data + FileHeader + InfoHeader + 4 * i;
            table[i] = qRgb(bgr[2], bgr[1], bgr[0]);
        }
        format = QImage::Format_Indexed8;
    } else if (depth == 32 && header == Version4Header && compression == Masked &&
               offset >= FileHeader + Version4Header) {
        // Blue, green, red and alpha in the bytes of each pixel, in that order: a 32-bit
        // ARGB picture of the toolkit's as it lies in memory on this little-endian machine.
        const quint32 masks[] = {quint32(dword(54)), quint32(dword(58)), quint32(dword(62)), quint32(dword(66))};
        if (masks[0] != 0x00ff0000 || masks[1] != 0x0000ff00 || masks[2] != 0x000000ff || masks[3] != 0xff000000)
            return {};
        format = QImage::Format_ARGB32;
    } else {
        return {};
    }
    const qint64 rowBytes = width * depth / 8;
    const qint64 stride = (rowBytes + 3) & ~qint64(3);
    if (stride * height > size - offset) return {};

    const uchar* pixels = data + offset;
    QImage image;
    if (reinterpret_cast<quintptr>(pixels) % 4 == 0) {
        image = QImage(pixels, int(width), int(height), stride, format);
    } else {
        image = QImage(int(width), int(height), format);
        for (int y = 0; y < height; ++y) std::memcpy(image.scanLine(y), pixels + y * stride, size_t(rowBytes));
    }
    if (!table.isEmpty()) image.setColorTable(table);
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

void TextBox::focusInEvent(QFocusEvent* event) {
    // A line edit selects its whole text when Tab or a shortcut brings the focus; this
    // box keeps its text as it is shown. Every other reason (a click among them) keeps
    // what the line edit does for it.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ShortcutFocusReason) {
        QLineEdit::focusInEvent(event);
        return;
    }
    QFocusEvent unselecting(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&unselecting);
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
