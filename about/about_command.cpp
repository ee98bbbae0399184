#include "about/about_command.h"

namespace tallowick {

void ShowAbout(Forms& forms, std::unique_ptr<About>& about)
{
    if (!about)
        about = std::make_unique<About>(forms);
    forms.Show(*about);
}

} // namespace tallowick
