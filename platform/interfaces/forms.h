#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/interfaces/error.h"
#include "platform/interfaces/layout.h"
#include "platform/interfaces/shared_text.h"

namespace tallowick {

// A window of the program, built from its layout.
class Form {
public:
    virtual ~Form() = default;
    virtual const WindowLayout& Layout() const = 0;
    virtual void Click(ControlId button) = 0;
};

// The forms runtime as the commands see it: all they know of the toolkit.
class Forms {
public:
    virtual ~Forms() = default;

    virtual void SetCaption(Form& form, ControlId label, std::string_view text) = 0;
    virtual void SetVisible(Form& form, ControlId button, bool visible) = 0;
    virtual void ClearList(Form& form, ControlId list) = 0;
    virtual void AddListLine(Form& form, ControlId list, const SharedText& line) = 0;

    // Loads the window if it is not loaded; modeless, without owner. A shown
    // window stays where it is.
    virtual void Show(Form& form) = 0;
    // Closes and destroys the window and its controls; `form` stays valid.
    virtual void Unload(Form& form) = 0;
    // Closes every window; no further handler runs; the process exits.
    virtual void End() = 0;

    // A modal warning naming the files, in the order `list` shows them.
    virtual void ShowFailures(Form& form, ControlId list, std::string_view summary,
                              std::vector<FailedFile> failures) = 0;
    // A modal message box for an error that escaped a handler.
    virtual void ReportError(const Error& error) = 0;
};

} // namespace tallowick
