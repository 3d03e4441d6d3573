#include "WindowManager.h"

#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace runtime::wm {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t RootOf(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

// Whether the running window manager lists the atom among what it supports.
bool Supports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t atom) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, atom) != atoms + count;
}

// The Motif window-manager hints, the one way X11 has to ask for a window's functions
// and decorations.
enum : uint32_t {
    HintFunctions = 1u << 0,
    HintDecorations = 1u << 1,
    FunctionMove = 1u << 2,
    FunctionClose = 1u << 5,
    DecorBorder = 1u << 1,
    DecorTitle = 1u << 3,
    DecorMenu = 1u << 4,
};

}  // namespace

void AnnounceBorderStyle(const QWidget* window, int borderStyle) {
    xcb_connection_t* c = Connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created)) return;
    // flags, functions, decorations, input mode, status
    uint32_t hints[5] = {HintFunctions | HintDecorations, FunctionClose, 0, 0, 0};
    if (borderStyle == BorderFixedDialog) {
        hints[1] = FunctionMove | FunctionClose;
        hints[2] = DecorBorder | DecorTitle | DecorMenu;
    } else if (borderStyle != BorderNone) {
        return;  // a sizable window keeps what Qt asks for
    }
    const xcb_atom_t motif = Atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), motif, motif, 32, 5,
                        hints);
    xcb_flush(c);
}

QMargins RequestFrameExtents(const QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c) return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = RootOf(c, id);
    const xcb_atom_t request = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = Atom(c, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !Supports(c, root, request)) return {};

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);

    // The window manager answers by setting the property on the window. Qt reads the
    // connection's events on a thread of its own, so the property is read back rather than
    // its change waited for; a window manager that has not answered within about half a
    // second is taken to give no frame.
    for (int attempt = 0; attempt < 500; ++attempt) {
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
            // left, right, top, bottom, in the screen's pixels; the window counts in its own,
            // which are larger on a scaled screen.
            const qreal ratio = window->devicePixelRatioF();
            const auto own = [ratio](uint32_t pixels) { return qRound(pixels / ratio); };
            return QMargins(own(v[0]), own(v[2]), own(v[1]), own(v[3]));
        }
        QThread::msleep(1);
    }
    return {};
}

}  // namespace runtime::wm
