#pragma once

#include <string_view>

#include "platform/runtime/toolkit_forms.h"

namespace tallowick {

// Every message box of the binding goes through here, so a test can answer
// them in advance instead of facing a modal window.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(std::string_view text, MessageKind kind) = 0;
};

// Modal to the whole program: every window of the thread is disabled while
// the box is up, so no other handler can start underneath it.
class SystemMessageBoxes : public MessageBoxes {
public:
    void Show(std::string_view text, MessageKind kind) override;
};

} // namespace tallowick
