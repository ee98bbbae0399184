#pragma once

class QWidget;

namespace tallowick {

// Keeps a tool window off the taskbar. Qt::Tool already makes it a utility
// window, which most task lists pass over; on X11 the window also carries
// _NET_WM_STATE_SKIP_TASKBAR, which says so outright.
void KeepOffTaskbar(QWidget* window);

} // namespace tallowick
