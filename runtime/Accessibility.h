#pragma once
// What a screen reader is told, where Qt's own accessibility does not say it as the program
// needs: the text box read whole, captions without their access-key mark, and messages
// spoken the moment something happens.

#include "Background.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace runtime {

// Installs the program's accessible interfaces. Once, at start-up, before any window.
void InstallAccessibility();

// Opens the connection to the session bus on a thread of its own. The toolkit's link to a
// screen reader starts on that bus as the first window is built, and waits while the
// connection is made; made here, before the application object exists, the connection
// is ready by then, made while the toolkit was connecting to the display. Make it on the
// program's main thread, before anything else of the toolkit. The thread ends when the
// connection is made or has failed, and the object waits for it. A bus that is not
// named and reached by connecting to it (OpensSessionBusEarly) is left to the toolkit.
class SessionBusOpening {
public:
    SessionBusOpening();
    ~SessionBusOpening();
    SessionBusOpening(const SessionBusOpening&) = delete;
    SessionBusOpening& operator=(const SessionBusOpening&) = delete;

private:
    std::optional<Background> opening_;
};

// Whether the session bus at this address (DBUS_SESSION_BUS_ADDRESS) is opened early: only
// one that is named and reached by connecting to it ("unix:", "tcp:", "nonce-tcp:"). With
// no address, or "autolaunch:" or "unixexec:" among its ways, opening the bus can mean
// starting a program in a new process, and a process forked from one thread while the
// toolkit is being loaded on another can stop before it ever runs, waiting for a lock
// that was held at the moment of the fork.
bool OpensSessionBusEarly(const QByteArray& address);

// A caption as it is spoken: without the "&" that marks its access key ("E&xit": "Exit");
// "&&" stands for one "&".
QString SpokenCaption(const QString& caption);

// Tells a screen reader a message now, as news about a control (normally the one that has
// the focus, which the screen reader is reading).
void Announce(QWidget* control, const QString& message);

// Where announcements go: by default to the screen reader through the accessibility bus.
// Tests hand in a function that records them; an empty function restores the default.
void SetAnnouncer(std::function<void(QWidget* control, const QString& message)> announcer);

}  // namespace runtime
