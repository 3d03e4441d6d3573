// The toolkit alone: an empty 640x480 window, up to its first frame, then the peak memory.

#include "Frame.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    const bench::Clock::time_point start = bench::ParentStart();
    QApplication application(argc, argv);
    QWidget window;
    window.resize(640, 480);
    bench::FirstFrame frame(&window);
    window.show();
    frame.Wait();
    std::printf("first_frame_ms %.3f\n", bench::MsSince(start));
    std::printf("peak_kib %ld\n", bench::PeakKiB());
    std::fflush(stdout);
    return 0;
}
