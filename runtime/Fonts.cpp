#include "Fonts.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QResource>

#include <fontconfig/fontconfig.h>

namespace runtime {

namespace {

// An empty font configuration becomes the current one, before the toolkit first asks
// for it; the fonts registered afterwards are all it holds. Should it fail, the system's
// configuration stays and the embedded fonts are added to it.
void StartEmptyFontConfiguration() {
    FcConfig* empty = FcConfigCreate();
    if (!empty) return;
    FcConfigSetCurrent(empty);  // holds its own reference on success
    FcConfigDestroy(empty);
}

QByteArray ResourceBytes(const QString& path) {
    const QResource resource(path);
    if (resource.compressionAlgorithm() == QResource::NoCompression) {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size());
    }
    return resource.uncompressedData();
}

}  // namespace

void UseEmbeddedFonts(const QString& folder) {
    StartEmptyFontConfiguration();
    QDirIterator fonts(folder);
    while (fonts.hasNext()) QFontDatabase::addApplicationFontFromData(ResourceBytes(fonts.next()));
}

}  // namespace runtime
