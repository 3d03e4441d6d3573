#include "Fonts.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QResource>

namespace runtime {

namespace {

QByteArray ResourceBytes(const QString& path) {
    const QResource resource(path);
    if (resource.compressionAlgorithm() == QResource::NoCompression) {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size());
    }
    return resource.uncompressedData();
}

}  // namespace

void AddEmbeddedFonts(const QString& folder) {
    QDirIterator fonts(folder);
    while (fonts.hasNext()) QFontDatabase::addApplicationFontFromData(ResourceBytes(fonts.next()));
}

}  // namespace runtime
