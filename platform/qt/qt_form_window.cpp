#include "platform/qt/qt_form_window.h"

#include <QCloseEvent>
#include <utility>

namespace tallowick {

QtFormWindow::QtFormWindow(std::function<void()> unload) : QWidget(nullptr), unload_(std::move(unload)) {}

void QtFormWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unload_)
        unload_();
}

} // namespace tallowick
