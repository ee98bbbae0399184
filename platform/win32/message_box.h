#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/toolkit_forms.h"

namespace tallowick::win32 {

// One modal message box, modal to the whole program: every window of the
// thread is disabled while it is up, so no other handler can start
// underneath it. A warning about files names as many as fit the screen.
void ShowMessageBox(const Message& message);

// Room for a message box's file lines, in pixels of its font.
struct TextRoom {
    int width = 0;
    int lines = 0;
    std::function<int(std::string_view)> measure;
};

// The files' lines as a message box shows them without outgrowing the
// screen: each path broken after a backslash (or a space) where it would
// be wider than the room, its reason on the next line, and no more files
// than fit; the rest are counted, since they stay in the list.
std::string FileLines(const std::vector<Message::File>& files, const TextRoom& room);

} // namespace tallowick::win32
