#pragma once
// What every benchmark executable needs: waiting for a window's first frame, pressing a
// button, the clock and the process's peak memory. Qt only, no program code.

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

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC: one clock for every process

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

// Peak resident memory of this process (VmHWM), KiB.
inline long PeakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        if (key == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

// The moment the parent started this process, passed in TARVONIX_BENCH_T0 as
// nanoseconds of the steady clock.
inline Clock::time_point ParentStart() {
    const QByteArray ns = qgetenv("TARVONIX_BENCH_T0");
    if (ns.isEmpty()) qFatal("TARVONIX_BENCH_T0 is not set: run through tarvonix-bench");
    return Clock::time_point(std::chrono::nanoseconds(ns.toLongLong()));
}

}  // namespace bench
