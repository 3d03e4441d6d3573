// Runs every benchmark and prints one table: each figure of the program next to a
// baseline of the toolkit alone measured in the same run.
//
// Start-up is watched from outside (bench-watch-start) on the X display that this runs
// on: the program's own executable and an empty borderless window (bench-empty-window)
// are started in alternation, so a slow spell of the machine falls on both. The memory of
// long play comes from fresh processes of bench-play. Opening a window and pressing a
// button are measured in this process, with the program's menu on screen as a player has it.

#include "Quiz.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int StartRuns = 21;      // processes of each kind
constexpr int FiveWindowRuns = 3;  // processes that open five windows and play a pass
constexpr int Cycles = 1000;       // open, play in and leave a level
constexpr int OpenRuns = 101;      // windows of each kind
constexpr int Passes = 15;         // passes of level 1, each against as many plain presses

using Samples = std::vector<double>;

double Median(Samples values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Worst(const Samples& values) { return *std::max_element(values.begin(), values.end()); }

// Samples of the program and of its baseline, taken one after the other.
struct Pairs {
    Samples program, baseline, ratios;
    void Add(double programSample, double baselineSample) {
        program.push_back(programSample);
        baseline.push_back(baselineSample);
        ratios.push_back(programSample / baselineSample);
    }
};

QString Beside(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// Runs an executable to its end and returns what it printed, name to value.
std::map<QByteArray, double> RunProcess(const QString& path, const QStringList& arguments = {}) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(path, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qFatal("%s failed", qPrintable(path));
    }
    std::map<QByteArray, double> printed;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2) printed[fields[0]] = fields[1].toDouble();
    }
    return printed;
}

std::map<QByteArray, double> WatchStart(const QString& program) {
    return RunProcess(Beside("bench-watch-start"), {program});
}

// Size of an executable once stripped of its symbols, MiB.
double StrippedMiB(const QString& path, const QTemporaryDir& scratch) {
    const QString stripped = scratch.filePath(QFileInfo(path).fileName());
    if (QProcess::execute(QStringLiteral("strip"), {QStringLiteral("-o"), stripped, path}) != 0) qFatal("strip failed");
    return QFileInfo(stripped).size() / 1048576.0;
}

// Runs what the previous measurement left (repaints, activation), outside the timing.
void Settle() { QCoreApplication::processEvents(); }

// Opening level 1 from the menu, until its first frame; the window is unloaded after.
double OpenLevelMs() {
    Settle();
    const auto start = bench::Clock::now();
    bench::Open(frmgk);
    const double ms = bench::MsSince(start);
    bench::Close(frmgk);
    return ms;
}

// Building and showing an empty 640x480 window of 25 plain children, until its first
// frame; the window is deleted after.
double OpenPlainMs() {
    Settle();
    const auto start = bench::Clock::now();
    QWidget window;
    window.resize(640, 480);
    for (int i = 0; i < 25; ++i) (new QWidget(&window))->setGeometry(i % 5 * 128, i / 5 * 96, 120, 88);
    bench::FirstFrame frame(&window);
    window.show();
    frame.Wait();
    return bench::MsSince(start);
}

// One pass of level 1 in a freshly loaded window, each press's time.
void PlayLevelPass(Samples& pressMs) {
    bench::Close(frmgk);
    bench::Open(frmgk);
    Settle();
    bench::PlayPass(*frmgk, &pressMs);
}

// As many presses of a plain button connected to an empty handler, each press's time.
void PressPlain(QPushButton* button, int presses, Samples& pressMs) {
    Settle();
    for (int i = 0; i < presses; ++i) {
        const auto start = bench::Clock::now();
        bench::Click(button);
        pressMs.push_back(bench::MsSince(start));
    }
}

std::string Machine() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string model = "unknown processor";
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string LoadAverage() {
    std::ifstream loadavg("/proc/loadavg");
    double one = 0;
    loadavg >> one;
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", one);
    return text;
}

void Row(const char* name, const QString& program, const QString& baseline, const QString& comparison) {
    std::printf("%-44s %14s %14s %12s\n", name, qPrintable(program), qPrintable(baseline), qPrintable(comparison));
}

QString Ms(double ms) { return QString::number(ms, 'f', ms < 10 ? 2 : 1) + QStringLiteral(" ms"); }
QString MiB(double kib) { return QString::number(kib / 1024, 'f', 1) + QStringLiteral(" MiB"); }
QString Ratio(double ratio) { return QString::number(ratio, 'f', 2) + QStringLiteral("x"); }
QString Above(double kib) { return QStringLiteral("%1%2 MiB").arg(kib < 0 ? "" : "+").arg(kib / 1024, 0, 'f', 1); }

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString program = QStringLiteral(TARVONIX_PROGRAM);
    const QString empty = Beside("bench-empty-window");
    const std::string loadBefore = LoadAverage();

    // Start-up, after one of each that fills the caches of files and fonts. Which of the
    // two goes first alternates from pair to pair.
    WatchStart(program);
    WatchStart(empty);
    Pairs mapMs, frameMs, cpuMs, mapKiB, frameKiB;
    for (int i = 0; i < StartRuns; ++i) {
        std::map<QByteArray, double> ours, floor;
        if (i % 2 == 0) {
            ours = WatchStart(program);
            floor = WatchStart(empty);
        } else {
            floor = WatchStart(empty);
            ours = WatchStart(program);
        }
        mapMs.Add(ours.at("map_ms"), floor.at("map_ms"));
        frameMs.Add(ours.at("frame_ms"), floor.at("frame_ms"));
        cpuMs.Add(ours.at("frame_cpu_ms"), floor.at("frame_cpu_ms"));
        mapKiB.Add(ours.at("map_kib"), floor.at("map_kib"));
        frameKiB.Add(ours.at("frame_kib"), floor.at("frame_kib"));
    }

    // Memory of play, in fresh processes.
    Samples fiveKiB;
    for (int i = 0; i < FiveWindowRuns; ++i) {
        fiveKiB.push_back(RunProcess(Beside("bench-play"), {QStringLiteral("five")}).at("peak_kib"));
    }
    const std::map<QByteArray, double> cycles = RunProcess(Beside("bench-play"), {"cycles", QString::number(Cycles)});

    // This process, with the program started and its menu on screen.
    bench::PrepareProgram();
    bench::Open(frmTarvonix);
    OpenLevelMs();  // the first of each builds caches of the toolkit (styles, glyphs)
    OpenPlainMs();
    Pairs open;
    for (int i = 0; i < OpenRuns; ++i) open.Add(OpenLevelMs(), OpenPlainMs());

    QWidget plainWindow;
    plainWindow.resize(640, 480);
    auto* plainButton = new QPushButton(QStringLiteral("&Next"), &plainWindow);
    plainButton->setGeometry(40, 40, 120, 30);
    QObject::connect(plainButton, &QPushButton::clicked, [] {});
    plainWindow.show();
    Samples levelPressMs, plainPressMs;
    for (int i = 0; i < Passes; ++i) {
        PlayLevelPass(levelPressMs);
        PressPlain(plainButton, static_cast<int>(levelPressMs.size() / (i + 1)), plainPressMs);
    }
    plainWindow.hide();
    bench::Close(frmgk);

    QTemporaryDir scratch;
    const double programMiB = StrippedMiB(program, scratch);
    const double emptyMiB = StrippedMiB(empty, scratch);

    std::printf("tarvonix on %s; Qt %s; X display %s; load average %s before, %s after\n\n", Machine().c_str(),
                qVersion(), qgetenv("DISPLAY").constData(), loadBefore.c_str(), LoadAverage().c_str());
    Row("start-up (medians of each)", QStringLiteral("tarvonix"), QStringLiteral("empty window"),
        QStringLiteral("ratio"));
    Row("  exec to window mapped", Ms(Median(mapMs.program)), Ms(Median(mapMs.baseline)), Ratio(Median(mapMs.ratios)));
    Row("  exec to first frame", Ms(Median(frameMs.program)), Ms(Median(frameMs.baseline)),
        Ratio(Median(frameMs.ratios)));
    Row("  processor time to first frame", Ms(Median(cpuMs.program)), Ms(Median(cpuMs.baseline)),
        Ratio(Median(cpuMs.ratios)));
    Row("memory (peak resident)", QString(), QString(), QStringLiteral("above"));
    Row("  when mapped", MiB(Median(mapKiB.program)), MiB(Median(mapKiB.baseline)),
        Above(Median(mapKiB.program) - Median(mapKiB.baseline)));
    Row("  at the first frame", MiB(Median(frameKiB.program)), MiB(Median(frameKiB.baseline)),
        Above(Median(frameKiB.program) - Median(frameKiB.baseline)));
    Row("  after a pass with five windows open", MiB(Median(fiveKiB)), MiB(Median(frameKiB.baseline)),
        Above(Median(fiveKiB) - Median(frameKiB.baseline)));
    std::printf("\n");
    Row("in the running program (median / worst)", QStringLiteral("tarvonix"), QStringLiteral("baseline"),
        QStringLiteral("ratio"));
    Row("  open a level: load and first show", Ms(Median(open.program)), Ms(Median(open.baseline)),
        Ratio(Median(open.ratios)));
    Row("", Ms(Worst(open.program)), Ms(Worst(open.baseline)), QString());
    Row("  press (Next or answer)", Ms(Median(levelPressMs)), Ms(Median(plainPressMs)),
        Ratio(Median(levelPressMs) / Median(plainPressMs)));
    Row("", Ms(Worst(levelPressMs)), Ms(Worst(plainPressMs)), QString());
    std::printf("\n");
    Row("long play (resident memory)", QString(), QString(), QStringLiteral("growth"));
    Row("  after the 10th cycle", MiB(cycles.at("rss_10_kib")), QString(), QString());
    Row(qPrintable(QStringLiteral("  after the %1th cycle").arg(Cycles)), MiB(cycles.at("rss_last_kib")), QString(),
        Above(cycles.at("rss_last_kib") - cycles.at("rss_10_kib")));
    std::printf("\n");
    Row("stripped executable", QString::number(programMiB, 'f', 2) + QStringLiteral(" MiB"),
        QString::number(emptyMiB, 'f', 2) + QStringLiteral(" MiB"), QString());
    std::printf(
        "\nStart-up: %d runs of each, in alternation, watched from outside on this display (%s); ratio: the\n"
        "median of the ratios of neighbouring runs. After a pass: the median of %d processes that open the five level\n"
        "windows from the menu and play one pass of level 1, against the empty window at its first frame.\n"
        "Long play: one process that %d times opens a level, answers three questions and leaves it.\n"
        "Open: %d windows of each; the baseline builds a window of 25 plain widgets. Press: %d passes of\n"
        "level 1 (401 presses each); the baseline presses a plain button as often.\n",
        StartRuns, qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ? "no session bus" : "with a session bus",
        FiveWindowRuns, Cycles, OpenRuns, Passes);
    return 0;
}
