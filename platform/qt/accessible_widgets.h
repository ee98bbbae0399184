#pragma once

#include <QLabel>

namespace tallowick {

// A label of a window's layout, as screen readers read it: its accessible
// name is the text it shows, it offers that text through the text
// interface, and each change of text is announced. The status line reads
// as a status bar.
class FormLabel final : public QLabel {
    Q_OBJECT
public:
    FormLabel(bool statusLine, QWidget* parent) : QLabel(parent), statusLine_(statusLine) {}

    bool IsStatusLine() const { return statusLine_; }
    // Shows `text` at once and tells assistive technology that it changed.
    void ShowText(const QString& text);

private:
    bool statusLine_;
};

// Gives Qt's accessibility the program's own interfaces: each FormLabel as
// above, and each loaded window as a frame (a plain top-level QWidget would
// be a nameless filler to a screen reader). Call before the first window
// is made; Qt installs a factory only once.
void InstallAccessibleInterfaces();

} // namespace tallowick
