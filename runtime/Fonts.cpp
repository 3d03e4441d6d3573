#include "Fonts.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QResource>

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>

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

// The registration under way; joined when it is waited for, or at the latest as the
// program ends.
struct Registration {
    std::thread thread;
    Registration() = default;
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration() { Wait(); }
    void Wait() {
        if (thread.joinable()) thread.join();
    }
};

Registration& Pending() {
    static Registration registration;
    return registration;
}

}  // namespace

void UseEmbeddedFonts(const QString& folder) {
    Pending().Wait();  // asked for a second time: after the first has ended
    StartEmptyFontConfiguration();
    // The toolkit's font database serialises its users, and nothing on this thread asks
    // it for a font until the registration has been waited for.
    try {
        Pending().thread = std::thread(RegisterFonts, folder);
    } catch (const std::system_error&) {
        RegisterFonts(folder);  // no thread to be had: here and now
    }
}

void WaitForEmbeddedFonts() { Pending().Wait(); }

}  // namespace runtime
