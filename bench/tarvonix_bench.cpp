// Runs every benchmark and prints one table: each figure of the program next to a
// baseline of the toolkit alone measured in the same run, and their ratio.
//
// Start-up and peak memory are measured in fresh processes (bench-start-program and
// bench-start-empty, beside this executable); opening a window and pressing a button are
// measured in this process, with the program's menu on screen as a player has it.
// Program and baseline are measured in alternation, so a slow spell of the machine falls
// on both.

#include "Quiz.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int StartRuns = 21;   // processes of each kind
constexpr int MemoryRuns = 3;   // processes of each kind; the program's plays a pass
constexpr int OpenRuns = 101;   // windows of each kind
constexpr int Passes = 15;      // passes of each kind
constexpr int PassPresses = 401;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Samples of the program and of its baseline, taken one after the other.
struct Figure {
    std::vector<double> program, baseline, ratios;
    void Add(double programSample, double baselineSample) {
        program.push_back(programSample);
        baseline.push_back(baselineSample);
        ratios.push_back(programSample / baselineSample);
    }
};

// Medians of each side; the ratio is the median of the ratios of neighbouring samples.
void Print(const char* name, const char* format, const Figure& figure) {
    char program[32], baseline[32];
    std::snprintf(program, sizeof program, format, Median(figure.program));
    std::snprintf(baseline, sizeof baseline, format, Median(figure.baseline));
    std::printf("%-32s %12s %12s %7.2f\n", name, program, baseline, Median(figure.ratios));
}

// Runs a benchmark executable to its end and returns what it printed, name to value.
std::map<QByteArray, double> RunProcess(const QString& name, const QStringList& arguments = {}) {
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto start = std::chrono::duration_cast<std::chrono::nanoseconds>(bench::Clock::now().time_since_epoch());
    environment.insert(QStringLiteral("TARVONIX_BENCH_T0"), QString::number(start.count()));
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qFatal("%s failed", qPrintable(name));
    }
    std::map<QByteArray, double> printed;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2) printed[fields[0]] = fields[1].toDouble();
    }
    return printed;
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
double OpenEmptyMs() {
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

// One pass of level 1 in a freshly loaded window, per press.
double LevelPressUs() {
    bench::Close(frmgk);
    bench::Open(frmgk);
    Settle();
    const auto start = bench::Clock::now();
    const int presses = bench::PlayPass(*frmgk);
    return bench::MsSince(start) * 1000 / presses;
}

// As many presses of a plain button connected to an empty slot, per press.
double PlainPressUs(QPushButton* button) {
    Settle();
    const auto start = bench::Clock::now();
    for (int i = 0; i < PassPresses; ++i) bench::Click(button);
    return bench::MsSince(start) * 1000 / PassPresses;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString program = QStringLiteral("bench-start-program");
    const QString empty = QStringLiteral("bench-start-empty");
    Figure start, memory, open, press;

    // Fresh processes, after one of each that fills the caches of files and fonts.
    RunProcess(program);
    RunProcess(empty);
    for (int i = 0; i < StartRuns; ++i) {
        start.Add(RunProcess(program).at("first_frame_ms"), RunProcess(empty).at("first_frame_ms"));
    }
    for (int i = 0; i < MemoryRuns; ++i) {
        memory.Add(RunProcess(program, {QStringLiteral("play")}).at("peak_kib") / 1024,
                   RunProcess(empty).at("peak_kib") / 1024);
    }

    // This process, with the program started and its menu on screen.
    bench::PrepareProgram();
    bench::Open(frmTarvonix);
    OpenLevelMs();  // the first of each builds caches of the toolkit (styles, glyphs)
    OpenEmptyMs();
    for (int i = 0; i < OpenRuns; ++i) open.Add(OpenLevelMs(), OpenEmptyMs());

    QWidget plainWindow;
    plainWindow.resize(640, 480);
    auto* plainButton = new QPushButton(QStringLiteral("&Next"), &plainWindow);
    plainButton->setGeometry(40, 40, 120, 30);
    QObject::connect(plainButton, &QPushButton::clicked, [] {});
    plainWindow.show();
    for (int i = 0; i < Passes; ++i) press.Add(LevelPressUs(), PlainPressUs(plainButton));

    std::printf("%-32s %12s %12s %7s\n", "figure", "program", "baseline", "ratio");
    Print("start-up to menu's first frame", "%.1f ms", start);
    Print("open a level window", "%.2f ms", open);
    Print("press (Next or answer)", "%.1f us", press);
    Print("peak memory after a pass", "%.1f MiB", memory);
    std::printf("\nMedians of %d start-ups, %d window openings and %d passes of %d presses of each kind,\n"
                "and of %d peak memories (the program's after the five level windows and a pass).\n"
                "Ratio: program / baseline, the median over neighbouring samples.\n",
                StartRuns, OpenRuns, Passes, PassPresses, MemoryRuns);
    return 0;
}
