#include "Beep.h"

#include <QApplication>

namespace runtime {

namespace {
int beeps = 0;
}

void Beep() {
    ++beeps;
    QApplication::beep();
}

int BeepCount() { return beeps; }

}  // namespace runtime
