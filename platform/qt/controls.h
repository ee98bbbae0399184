#pragma once

#include <string_view>

#include <QString>
#include <QWidget>

#include "platform/interfaces/layout.h"

namespace tallowick {

QString ToQString(std::string_view text);

// One control from one row of a window's layout, as a child of `window`.
QWidget* MakeControl(const ControlLayout& row, QWidget* window);

} // namespace tallowick
