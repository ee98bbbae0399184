#pragma once

#include <functional>

#include <QWidget>

namespace tallowick {

// The top-level widget of one loaded window. A plain QWidget, not a QDialog,
// so Escape closes nothing; closing it through the title bar unloads it.
class QtFormWindow final : public QWidget {
    Q_OBJECT
public:
    explicit QtFormWindow(std::function<void()> unload);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> unload_;
};

} // namespace tallowick
