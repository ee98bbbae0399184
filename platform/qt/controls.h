#pragma once

#include <string_view>

#include <QString>
#include <QWidget>

#include "platform/interfaces/layout.h"

namespace tallowick {

inline QString ToQString(std::string_view text) { return QString::fromUtf8(text); }

// One control from one row of a window's layout, as a child of `window`.
QWidget* MakeControl(const ControlLayout& row, QWidget* window);

// Gives Qt's accessibility the program's interfaces for the labels of the
// layouts, and for each window, as a frame (a plain top-level QWidget would be
// a nameless filler). Called before the first window is made; Qt takes a
// factory once.
void InstallAccessibleInterfaces();

} // namespace tallowick
