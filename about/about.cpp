#include "about/about.h"

#include "about/about_layout.h"

namespace tallowick {

const WindowLayout& About::Layout() const { return AboutLayout(); }

void About::Click(ControlId button)
{
    if (button == about_controls::Command1)
        Command1_Click();
}

void About::Command1_Click() { forms_.Unload(*this); }

void ShowAbout(Forms& forms, std::unique_ptr<About>& about)
{
    if (!about)
        about = std::make_unique<About>(forms);
    forms.Show(*about);
}

} // namespace tallowick
