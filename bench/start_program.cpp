// The program's start, up to the main menu's first frame, as its entry point does it.
// Prints the time since the parent started this process; with the argument "play" it
// then opens the five level windows from the menu, plays one pass of level 1 and prints
// the peak memory.

#include "Quiz.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bench::Clock::time_point start = bench::ParentStart();
    QApplication application(argc, argv);
    bench::PrepareProgram();
    bench::Open(frmTarvonix);
    std::printf("first_frame_ms %.3f\n", bench::MsSince(start));

    if (argc > 1 && std::strcmp(argv[1], "play") == 0) {
        MainMenu& menu = *frmTarvonix;
        for (QAbstractButton* level : {menu.ui.cmdLevel1, menu.ui.cmdLevel2, menu.ui.cmdLevel3,
                                       menu.ui.cmdLevel4, menu.ui.cmdLevel5}) {
            bench::Click(level);
        }
        if (runtime::LoadedFormCount() != 6) qFatal("the menu did not open the five level windows");
        bench::PlayPass(*frmgk);
        std::printf("peak_kib %ld\n", bench::PeakKiB());
    }
    std::fflush(stdout);
    return 0;
}
