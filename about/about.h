#pragma once

#include <memory>

#include "platform/interfaces/forms.h"

namespace tallowick {

namespace about_controls {
enum : ControlId { Label1, Label3, Label4, Label2, Command1 };
}

const WindowLayout& AboutLayout();

// The program's one About window object; unloading destroys only its widgets.
class About : public Form {
public:
    explicit About(Forms& forms) : forms_(forms) {}

    const WindowLayout& Layout() const override;
    void Click(ControlId button) override;

    void Command1_Click(); // Close

private:
    Forms& forms_;
};

// The About command: makes the About window the first time, and shows it.
void ShowAbout(Forms& forms, std::unique_ptr<About>& about);

} // namespace tallowick
