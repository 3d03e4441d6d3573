// Starts a program on the X display in DISPLAY and watches it from outside, as the
// player's screen sees it: when its first 640x480 top-level window is mapped, when that
// window is first drawn into (the X server's Damage extension reports the first frame
// arriving), the program's peak resident memory at those two moments and the processor
// time its threads had used by the first frame. Then it ends the program.
//
//   bench-watch-start PROGRAM [ARGUMENT...]
//
// prints "name value" lines: map_ms, frame_ms, map_kib, frame_kib, frame_cpu_ms. The
// times count from just before the program is started (fork and exec included).

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
constexpr int TimeoutMs = 30000;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench-watch-start: %s\n", what);
    std::exit(1);
}

// Peak resident memory of the process, KiB.
long PeakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string word; status >> word;) {
        if (word == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

// Processor time used so far by all threads of the process, ms.
double CpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return -1;
    double ns = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream schedstat(tasks + '/' + entry->d_name + "/schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu) ns += onCpu;
    }
    closedir(dir);
    return ns / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) Fail("usage: bench-watch-start PROGRAM [ARGUMENT...]");

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) Fail("cannot connect to the X display");
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (!damage || !damage->present) Fail("the X server has no Damage extension");
    Reply<xcb_damage_query_version_reply_t> version(
        xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr), &std::free);
    if (!version) Fail("the Damage extension does not answer");

    // Top-level windows are children of the root: their creation and mapping are reported.
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    // A round trip: the server has taken the request before the program starts.
    Reply<xcb_get_input_focus_reply_t> sync(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr), &std::free);

    const Clock::time_point start = Clock::now();
    auto msSinceStart = [start] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) Fail("cannot start the program");

    xcb_window_t window = XCB_NONE;
    double mapMs = -1, frameMs = -1, frameCpuMs = -1;
    long mapKiB = -1, frameKiB = -1;
    while (frameMs < 0) {
        pollfd ready{xcb_get_file_descriptor(x), POLLIN, 0};
        if (poll(&ready, 1, TimeoutMs) <= 0 || xcb_connection_has_error(x)) {
            kill(pid, SIGKILL);
            Fail("the program showed no window in time");
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY && window == XCB_NONE) {
                // Damage is watched from the window's creation, long before its first frame.
                auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (created->width == WindowWidth && created->height == WindowHeight) {
                    window = created->window;
                    xcb_damage_create(x, xcb_generate_id(x), window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    xcb_flush(x);
                }
            } else if (type == XCB_MAP_NOTIFY && window != XCB_NONE && mapMs < 0 &&
                       reinterpret_cast<xcb_map_notify_event_t*>(event)->window == window) {
                mapMs = msSinceStart();
                mapKiB = PeakKiB(pid);
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY && mapMs >= 0 &&
                       reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable == window) {
                frameMs = msSinceStart();
                frameKiB = PeakKiB(pid);
                frameCpuMs = CpuMs(pid);
            }
            std::free(event);
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    xcb_disconnect(x);

    std::printf("map_ms %.3f\nframe_ms %.3f\nmap_kib %ld\nframe_kib %ld\nframe_cpu_ms %.3f\n", mapMs, frameMs, mapKiB,
                frameKiB, frameCpuMs);
    return 0;
}
