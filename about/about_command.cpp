#include "main_window/main_window.h"

namespace tallowick {

void Main::Command1_Click()
{
    if (!about_)
        about_ = std::make_unique<About>(forms_);
    forms_.Show(*about_);
}

} // namespace tallowick
