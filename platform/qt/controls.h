#pragma once

#include <string_view>

#include <QString>
#include <QWidget>

#include "platform/interfaces/layout.h"

namespace tallowick {

inline QString ToQString(std::string_view text) { return QString::fromUtf8(text); }

// One control from one row of a window's layout, as a child of `window`.
QWidget* MakeControl(const ControlLayout& row, QWidget* window);

} // namespace tallowick
