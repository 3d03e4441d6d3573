#pragma once
// What the in-process benchmarks need: waiting for a window's first frame, pressing a
// button, the clock and the process's memory. Qt only, no program code.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <fstream>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Watches one window from before it is shown. Wait() runs events until the window has
// been painted once and the event that painted it (expose or update request, which also
// flushes the frame) has returned.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget* window) : window_(window) { window->installEventFilter(this); }
    ~FirstFrame() override {
        if (window_) window_->removeEventFilter(this);
    }

    void Wait() {
        while (!painted_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint) painted_ = true;
        return false;
    }

private:
    QPointer<QWidget> window_;
    bool painted_ = false;
};

// A click of the left mouse button in the middle of a button, as the player makes it
// (the button is drawn down, then up, and clicks), then the repaints it leaves run.
inline void Click(QAbstractButton* button) {
    const QPointF at = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &release);
    QCoreApplication::processEvents();
}

// A line of /proc/self/status in KiB: "VmHWM:" is the peak resident memory so far,
// "VmRSS:" the resident memory now.
inline long StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string word; status >> word;) {
        if (word == key) {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

inline long PeakKiB() { return StatusKiB("VmHWM:"); }
inline long ResidentKiB() { return StatusKiB("VmRSS:"); }

}  // namespace bench
