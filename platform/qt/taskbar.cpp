#include "platform/qt/taskbar.h"

#ifdef TALLOWICK_HAVE_XCB
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#endif

namespace tallowick {

#ifdef TALLOWICK_HAVE_XCB
namespace {

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

void KeepOffTaskbar(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const xcb_atom_t state = InternAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;
    // Set on the window before it is first mapped; Qt keeps the atoms it
    // finds there when it adds its own.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
}
#else
void KeepOffTaskbar(QWidget*) {} // Qt::Tool alone keeps it off
#endif

} // namespace tallowick
