#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/interfaces/forms.h"
#include "platform/runtime/toolkit_forms.h"

namespace tallowick::testing {

// A forms runtime without windows: it keeps what each control would show
// and records every call, so a test reads the window's state and history.
class RecordingForms : public Forms {
public:
    struct ControlState {
        std::string caption;
        bool visible = true;
        std::vector<std::string> lines;
    };

    void SetCaption(Form& form, ControlId label, std::string_view text) override
    {
        State(form, label).caption = text;
        calls.push_back(Name(form, label) + ".Caption=" + std::string(text));
    }
    void SetVisible(Form& form, ControlId button, bool visible) override
    {
        State(form, button).visible = visible;
        calls.push_back(Name(form, button) + ".Visible=" + (visible ? "True" : "False"));
    }
    void ClearList(Form& form, ControlId list) override
    {
        State(form, list).lines.clear();
        calls.push_back(Name(form, list) + ".Clear");
    }
    void AddListLine(Form& form, ControlId list, const SharedText& line) override
    {
        State(form, list).lines.emplace_back(line.text);
    }
    void Show(Form& form) override
    {
        if (!loaded_.count(&form))
            Load(form);
        ++shows;
        calls.push_back(std::string(form.Layout().name) + ".Show");
    }
    void Unload(Form& form) override
    {
        loaded_.erase(&form);
        calls.push_back(std::string(form.Layout().name) + ".Unload");
    }
    void End() override
    {
        ended = true;
        calls.push_back("End");
    }
    // The files in the order the command gives them: only a toolkit's list
    // has an order of its own.
    void ShowFailures(Form&, ControlId, std::string_view summary, std::vector<FailedFile> failures) override
    {
        std::string text(summary);
        for (const FailedFile& failure : failures)
            text += "\n" + failure.path + "\n    " + FailureReason(failure.error);
        messages.push_back(text);
    }
    void ReportError(const Error& error) override { errors.push_back(error); }

    // Builds the window's controls from its stored layout, as a load does.
    void Load(Form& form)
    {
        auto& controls = loaded_[&form];
        controls.clear();
        for (const auto& row : form.Layout().controls)
            controls.push_back({std::string(row.caption), row.visible, {}});
    }
    bool IsLoaded(const Form& form) const { return loaded_.count(&form) != 0; }
    ControlState& State(const Form& form, ControlId id) { return loaded_.at(&form).at(static_cast<std::size_t>(id)); }
    const ControlState& State(const Form& form, ControlId id) const
    {
        return loaded_.at(&form).at(static_cast<std::size_t>(id));
    }

    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::vector<Error> errors;
    int shows = 0;
    bool ended = false;

private:
    static std::string Name(Form& form, ControlId id)
    {
        return std::string(form.Layout().controls[static_cast<std::size_t>(id)].name);
    }

    std::map<const Form*, std::vector<ControlState>> loaded_;
};

} // namespace tallowick::testing
