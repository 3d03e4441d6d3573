#include "Beep.h"

#include <QApplication>

#include <canberra.h>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace runtime {

namespace {

// The desktop's choices about event sounds.
struct SoundSettings {
    bool on = true;
    std::string theme;  // empty: the sound library's default theme
};

// A function of a library loaded at run time, by its name; null where it is missing.
template <class Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// Libraries loaded for a sound stay loaded for the rest of the program's life: the sound
// server's client library keeps threads and state of its own that outlive any one use.
void* Load(const char* library) { return dlopen(library, RTLD_NOW | RTLD_LOCAL); }

// The X display of the desktop, on a connection of this thread's own: its settings
// daemon's values and its bell.
class XDisplay {
public:
    XDisplay() : c_(xcb_connect(nullptr, &screen_)) {
        if (xcb_connection_has_error(c_)) {
            xcb_disconnect(c_);
            c_ = nullptr;
        }
    }
    ~XDisplay() {
        if (c_) xcb_disconnect(c_);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    void Bell() {
        if (!c_) return;
        xcb_bell(c_, 0);
        xcb_flush(c_);
    }

    // What the settings daemon publishes (the XSETTINGS protocol): the property
    // _XSETTINGS_SETTINGS of the owner of the selection _XSETTINGS_S<screen>.
    void Read(SoundSettings& settings) {
        if (!c_ || xcb_connection_has_error(c_)) return;
        const std::string selection = "_XSETTINGS_S" + std::to_string(screen_);
        const xcb_atom_t property = Atom("_XSETTINGS_SETTINGS");
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, Atom(selection.c_str())), nullptr),
            &std::free);
        if (!owner || owner->owner == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> value(
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, owner->owner, property, property, 0, 1u << 16),
                                   nullptr),
            &std::free);
        if (!value || value->format != 8) return;
        Parse(static_cast<const uint8_t*>(xcb_get_property_value(value.get())),
              static_cast<size_t>(xcb_get_property_value_length(value.get())), settings);
    }

private:
    xcb_atom_t Atom(const char* name) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The settings list: a byte order, a serial and a count, then each setting with its
    // type, name, serial and value, every field padded to four bytes.
    static void Parse(const uint8_t* data, size_t size, SoundSettings& settings) {
        if (size < 12) return;
        const bool mostSignificantFirst = data[0] == 1;
        const auto card = [&](size_t at, int bytes) {
            uint32_t value = 0;
            for (int i = 0; i < bytes; ++i)
                value |= uint32_t{data[at + (mostSignificantFirst ? bytes - 1 - i : i)]} << (8 * i);
            return value;
        };
        const auto padded = [](size_t length) { return (length + 3) & ~size_t{3}; };
        size_t at = 12;
        for (uint32_t n = card(8, 4); n > 0; --n) {
            if (size - at < 4) return;
            const uint8_t type = data[at];
            const size_t nameLength = card(at + 2, 2);
            if (size - at - 4 < padded(nameLength) + 4) return;
            const std::string_view name(reinterpret_cast<const char*>(data + at + 4), nameLength);
            at += 4 + padded(nameLength) + 4;
            if (type == 0) {  // an integer
                if (size - at < 4) return;
                if (name == "Net/EnableEventSounds") settings.on = card(at, 4) != 0;
                at += 4;
            } else if (type == 1) {  // a string
                if (size - at < 4) return;
                const size_t length = card(at, 4);
                at += 4;
                if (size - at < padded(length)) return;
                if (name == "Net/SoundThemeName")
                    settings.theme.assign(reinterpret_cast<const char*>(data + at), length);
                at += padded(length);
            } else if (type == 2) {  // a colour
                at += 8;
            } else {
                return;
            }
        }
    }

    int screen_ = 0;
    xcb_connection_t* c_;
};

// GNOME's sound settings (org.gnome.desktop.sound), where GNOME runs, through GIO's
// GSettings. GSettings ends the program on a schema or key that is not installed, so
// both are looked up first; without them the settings say nothing.
class GnomeSettings {
public:
    GnomeSettings() {
        if (!OnGnome()) return;
        void* gio = Load("libgio-2.0.so.0");
        void* (*defaultSource)() = nullptr;
        void* (*lookup)(void*, const char*, int) = nullptr;
        int (*hasKey)(void*, const char*) = nullptr;
        void (*unrefSchema)(void*) = nullptr;
        void* (*settingsFor)(void*, void*, const char*) = nullptr;
        if (!gio || !Resolve(gio, "g_settings_schema_source_get_default", defaultSource) ||
            !Resolve(gio, "g_settings_schema_source_lookup", lookup) ||
            !Resolve(gio, "g_settings_schema_has_key", hasKey) || !Resolve(gio, "g_settings_schema_unref", unrefSchema) ||
            !Resolve(gio, "g_settings_new_full", settingsFor) || !Resolve(gio, "g_settings_get_boolean", getBoolean_) ||
            !Resolve(gio, "g_settings_get_string", getString_) || !Resolve(gio, "g_free", free_) ||
            !Resolve(gio, "g_object_unref", unref_))
            return;
        void* source = defaultSource();
        void* schema = source ? lookup(source, "org.gnome.desktop.sound", 1) : nullptr;
        if (!schema) return;
        if (hasKey(schema, "event-sounds") && hasKey(schema, "theme-name"))
            settings_ = settingsFor(schema, nullptr, nullptr);
        unrefSchema(schema);
    }
    ~GnomeSettings() {
        if (settings_) unref_(settings_);
    }
    GnomeSettings(const GnomeSettings&) = delete;
    GnomeSettings& operator=(const GnomeSettings&) = delete;

    void Read(SoundSettings& settings) const {
        if (!settings_) return;
        if (!getBoolean_(settings_, "event-sounds")) settings.on = false;
        if (char* theme = getString_(settings_, "theme-name"); theme) {
            if (settings.theme.empty()) settings.theme = theme;
            free_(theme);
        }
    }

private:
    // XDG_CURRENT_DESKTOP lists the desktops whose settings apply, such as "ubuntu:GNOME".
    static bool OnGnome() {
        const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
        for (std::string_view rest = desktops ? desktops : ""; !rest.empty();) {
            const size_t colon = rest.find(':');
            if (rest.substr(0, colon) == "GNOME") return true;
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return false;
    }

    void* settings_ = nullptr;
    int (*getBoolean_)(void*, const char*) = nullptr;
    char* (*getString_)(void*, const char*) = nullptr;
    void (*free_)(void*) = nullptr;
    void (*unref_)(void*) = nullptr;
};

// The sound server, through libcanberra and its PulseAudio backend, which PipeWire's
// server also answers.
class SoundServer {
public:
    explicit SoundServer(std::string application) : application_(std::move(application)) {
        void* library = Load("libcanberra.so.0");
        loaded_ = library && Resolve(library, "ca_context_create", create_) &&
                  Resolve(library, "ca_context_set_driver", setDriver_) &&
                  Resolve(library, "ca_context_change_props", changeProps_) &&
                  Resolve(library, "ca_context_play", play_) && Resolve(library, "ca_context_destroy", destroy_);
    }
    ~SoundServer() { Close(); }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Starts the theme's bell; false where no server or no sound could be had.
    bool PlayBell(const std::string& theme) {
        if (!loaded_) return false;
        if (!context_) {
            if (create_(&context_) != CA_SUCCESS) return false;
            setDriver_(context_, "pulse");
            changeProps_(context_, CA_PROP_APPLICATION_NAME, application_.c_str(), CA_PROP_APPLICATION_ID,
                         TARVONIX_APP_ID, CA_PROP_APPLICATION_ICON_NAME, TARVONIX_APP_ID, nullptr);
        }
        const int result =
            theme.empty() ? play_(context_, 0, CA_PROP_EVENT_ID, "bell-window-system", nullptr)
                          : play_(context_, 0, CA_PROP_EVENT_ID, "bell-window-system", CA_PROP_CANBERRA_XDG_THEME_NAME,
                                  theme.c_str(), nullptr);
        // A context that failed once starts afresh next time: the server may have come
        // (back) since.
        if (result != CA_SUCCESS) Close();
        return result == CA_SUCCESS;
    }

private:
    void Close() {
        if (context_) destroy_(context_);
        context_ = nullptr;
    }

    std::string application_;
    bool loaded_ = false;
    ca_context* context_ = nullptr;
    decltype(&ca_context_create) create_ = nullptr;
    decltype(&ca_context_set_driver) setDriver_ = nullptr;
    decltype(&ca_context_change_props) changeProps_ = nullptr;
    decltype(&ca_context_play) play_ = nullptr;
    decltype(&ca_context_destroy) destroy_ = nullptr;
};

// One bell, as the desktop has it: its theme's sound, the X bell where that cannot be
// played, or nothing where event sounds are off.
class Bell {
public:
    explicit Bell(std::string application) : server_(std::move(application)) {}

    void Ring() {
        SoundSettings settings;
        display_.Read(settings);
        gnome_.Read(settings);
        if (!settings.on) return;
        if (!server_.PlayBell(settings.theme)) display_.Bell();
    }

private:
    XDisplay display_;
    GnomeSettings gnome_;
    SoundServer server_;
};

// The thread that rings the bells, and what it shares with the program's thread.
class Ringer {
public:
    ~Ringer() { Stop(); }

    // Asks for one bell; false where no thread could be had for it.
    bool Ask() {
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread(Run, shared_, QCoreApplication::applicationName().toStdString());
            } catch (const std::system_error&) {
                return false;
            }
        }
        const std::lock_guard lock(shared_->mutex);
        if (shared_->asked < MaxAsked) ++shared_->asked;
        shared_->changed.notify_all();
        return true;
    }

private:
    // Bells asked for and not yet rung, the one ringing included. A player cannot answer
    // faster than a bell rings; a server that holds the thread up drops the rest.
    static constexpr int MaxAsked = 3;

    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        int asked = 0;
        bool stopping = false;
        bool stopped = false;
    };

    static void Run(std::shared_ptr<Shared> shared, std::string application) {
        std::optional<Bell> bell;
        std::unique_lock lock(shared->mutex);
        while (true) {
            shared->changed.wait(lock, [&] { return shared->asked > 0 || shared->stopping; });
            if (shared->stopping) break;
            lock.unlock();
            if (!bell) bell.emplace(application);
            bell->Ring();
            lock.lock();
            --shared->asked;
        }
        lock.unlock();
        bell.reset();
        lock.lock();
        shared->stopped = true;
        shared->changed.notify_all();
    }

    // At the program's end: the thread closes its connections and ends; one held up by a
    // hung server is left behind rather than waited for.
    void Stop() {
        if (!thread_.joinable()) return;
        std::unique_lock lock(shared_->mutex);
        shared_->stopping = true;
        shared_->changed.notify_all();
        const bool stopped =
            shared_->changed.wait_for(lock, std::chrono::seconds(1), [&] { return shared_->stopped; });
        lock.unlock();
        if (stopped)
            thread_.join();
        else
            thread_.detach();
    }

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::thread thread_;
};

int beeps = 0;

}  // namespace

void Beep() {
    ++beeps;
    // Qt's offscreen and minimal platforms show windows nowhere: no desktop, no bell.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    static Ringer ringer;
    if (!ringer.Ask()) QApplication::beep();
}

int BeepCount() { return beeps; }

}  // namespace runtime
