#include "x11frame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace letro {

namespace {

// How long the window manager gets to answer; openbox answers in well under
// a millisecond, a busy machine may take longer. Only a window manager that
// says it answers and then does not costs this, once per window.
constexpr int AnswerTimeoutMs = 1000;

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t *connection, xcb_window_t window,
                                         xcb_atom_t name, xcb_atom_t type, uint32_t length)
{
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, length), nullptr));
}

// True when a window manager runs and says it answers frame-extent requests.
bool managerAnswersRequests(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t request,
                            bool *managerRuns)
{
    const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    const auto supporting = property(connection, root, check, XCB_ATOM_WINDOW, 1);
    *managerRuns = supporting && xcb_get_property_value_length(supporting.get()) == 4;
    if (!*managerRuns)
        return false;
    const auto supported =
        property(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (!supported)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / int(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == request)
            return true;
    }
    return false;
}

} // namespace

std::optional<QMargins> askWindowManagerForFrame(QWidget *window)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!screens.rem)
        return std::nullopt;
    const xcb_window_t root = screens.data->root;

    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    bool managerRuns = false;
    if (!managerAnswersRequests(connection, root, request, &managerRuns))
        return managerRuns ? std::nullopt : std::optional<QMargins>(QMargins());

    // The native window must exist (not mapped) with its hints set, so that
    // the window manager can tell which decoration it will get.
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");

    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // Qt's own thread reads the X events, so the answer is looked for in the
    // property itself rather than waited for as an event.
    QElapsedTimer clock;
    clock.start();
    do {
        const auto reply = property(connection, id, extents, XCB_ATOM_CARDINAL, 4);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
            const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
            // left, right, top, bottom, in physical pixels.
            const qreal ratio = window->devicePixelRatioF();
            return QMargins(qRound(v[0] / ratio), qRound(v[2] / ratio), qRound(v[1] / ratio),
                            qRound(v[3] / ratio));
        }
        QThread::msleep(1);
    } while (clock.elapsed() < AnswerTimeoutMs);
    return std::nullopt;
}

} // namespace letro
