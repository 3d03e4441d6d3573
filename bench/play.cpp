// The program started as its entry point starts it, then played from its menu, for the
// memory figures. Prints "name value" lines.
//
//   bench-play five         opens the five level windows from the menu, plays one pass
//                           of level 1 and prints the peak resident memory (peak_kib);
//   bench-play cycles N     N times opens a level from the menu (levels 1 to 5 in turn),
//                           answers three questions and leaves it with Exit; prints the
//                           resident memory after the 10th and the Nth cycle
//                           (rss_10_kib, rss_last_kib) and the peak (peak_kib).

#include "Quiz.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void OpenFiveAndPlay() {
    for (QAbstractButton* level : bench::LevelButtons()) bench::Click(level);
    if (runtime::LoadedFormCount() != 6) qFatal("the menu did not open the five level windows");
    bench::PlayPass(*frmgk);
}

void Cycle(int cycle) {
    const int level = (cycle - 1) % 5;
    auto& form = *LevelDesigns[level].form;
    bench::Click(bench::LevelButtons()[level]);
    LevelWindow& window = *form;
    for (QAbstractButton* answer : {window.ui.Command1, window.ui.Command2, window.ui.Command3}) {
        bench::Click(window.ui.cmdNext);
        bench::Click(answer);
    }
    bench::Click(window.ui.cmdQuit);
    bench::DeleteUnloaded();
    if (form.IsLoaded() || runtime::LoadedFormCount() != 1) qFatal("cycle %d did not leave the level", cycle);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    bench::PrepareProgram();
    bench::Open(frmTarvonix);

    if (argc == 2 && std::strcmp(argv[1], "five") == 0) {
        OpenFiveAndPlay();
    } else if (argc == 3 && std::strcmp(argv[1], "cycles") == 0) {
        const int cycles = std::atoi(argv[2]);
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            Cycle(cycle);
            if (cycle == 10) std::printf("rss_10_kib %ld\n", bench::ResidentKiB());
        }
        std::printf("rss_last_kib %ld\n", bench::ResidentKiB());
    } else {
        qFatal("usage: bench-play five | bench-play cycles N");
    }
    std::printf("peak_kib %ld\n", bench::PeakKiB());
    std::fflush(stdout);
    return 0;
}
