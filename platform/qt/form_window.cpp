#include "platform/qt/form_window.h"

#include <QCloseEvent>
#include <utility>

namespace tallowick {

FormWindow::FormWindow(std::function<void()> unload) : QWidget(nullptr), unload_(std::move(unload)) {}

void FormWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unload_)
        unload_();
}

} // namespace tallowick
