#include "Fonts.h"

#include "Background.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFontDatabase>
#include <QResource>

#include <fontconfig/fontconfig.h>

#include <optional>

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

void RegisterFonts(const QString& folder) {
    QDirIterator fonts(folder);
    while (fonts.hasNext()) QFontDatabase::addApplicationFontFromData(ResourceBytes(fonts.next()));
}

// The registration under way, if any.
std::optional<Background>& Pending() {
    static std::optional<Background> registration;
    return registration;
}

}  // namespace

void UseEmbeddedFonts(const QString& folder) {
    WaitForEmbeddedFonts();  // asked for a second time: after the first has ended
    StartEmptyFontConfiguration();
    // The toolkit's font database serialises its users, and nothing on this thread asks
    // it for a font until the registration has been waited for. However the program ends,
    // the registration is over before the application object is gone.
    Pending().emplace([folder] { RegisterFonts(folder); });
    qAddPostRoutine(WaitForEmbeddedFonts);
}

void WaitForEmbeddedFonts() {
    if (Pending()) Pending()->Wait();
}

}  // namespace runtime
