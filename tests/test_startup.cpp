// The program's first steps, before its application object exists. The session bus is opened on a
// thread of its own meanwhile, which must not be taken for the program's main thread: the toolkit
// would warn, and the program's events and timers would not run where it waits for them. Here the
// bus is a socket that takes the connection and never answers, so the opening is still under way,
// its thread alive inside the toolkit, when the application object is made.

#include "runtime/Accessibility.h"

#include <QApplication>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

bool takenForAnotherThread = false;

void Watch(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("not created in the main() thread"))) takenForAnotherThread = true;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A listening socket in a folder of its own, named in DBUS_SESSION_BUS_ADDRESS.
class SilentBus {
public:
    SilentBus() {
        char folder[] = "/tmp/tarvonix-bus-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        folder_ = folder, path_ = folder_ + "/bus";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 4) != 0)
            std::abort();
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path_).c_str(), 1);
    }
    // Takes the opening's connection and closes it: the opening fails and its thread ends.
    void HangUp() {
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection >= 0) close(connection);
    }
    ~SilentBus() { close(listener_), unlink(path_.c_str()), rmdir(folder_.c_str()); }

private:
    std::string folder_, path_;
    int listener_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(Watch);
    SilentBus bus;
    bool timerRan = false;
    {
        const runtime::SessionBusOpening sessionBus;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the opening is waiting for the bus
        QApplication application(argc, argv);
        QTimer::singleShot(0, &application, [&] { timerRan = true, QCoreApplication::quit(); });
        QTimer::singleShot(10000, &application, &QCoreApplication::quit);
        QApplication::exec();
        bus.HangUp();
    }
    if (takenForAnotherThread || !timerRan) {
        std::fprintf(stderr, "FAIL: the application object was not on the program's main thread\n");
        return 1;
    }
    std::fprintf(stderr, "PASS: the application object is on the program's main thread\n");
    return 0;
}
