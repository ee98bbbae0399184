#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/interfaces/forms.h"
#include "platform/runtime/text_collection.h"

namespace tallowick {

namespace main_controls {
enum : ControlId { List1, Label1, cmdSrch, cmdDelCookies, cmdExt, Command1 };
}

const WindowLayout& MainLayout();

class Main;

// What Main's buttons other than Close run; the project puts the commands behind them.
struct MainCommands {
    std::function<void(Main&)> cmdSrch_Click;       // Find Cookies
    std::function<void(Main&)> cmdDelCookies_Click; // Delete Cookies
    std::function<void(Main&)> Command1_Click;      // About
};

// The main window: the program. It owns the cookie list.
class Main : public Form {
public:
    Main(Forms& forms, MainCommands commands);

    const WindowLayout& Layout() const override;
    void Click(ControlId button) override;

    void cmdExt_Click(); // Close

    // Created empty on first use and kept until the program ends.
    TextCollection& CookieList();
    // List1 shows exactly the entries of CookieList, in their order.
    void ShowCookieList();
    // Removes the first entry until none is left; the list itself lives on.
    void EmptyCookieList();

    void SetStatus(std::string_view text);
    // A warning naming the files, in the order List1 shows them.
    void ShowFailures(std::string_view summary, std::vector<FailedFile> failures);
    // Ready: Find shown, Delete hidden. Listed: the other way round.
    void ShowReadyButtons(bool ready);

private:
    friend class MainProbe; // tests look at what the window does not show

    Forms& forms_;
    MainCommands commands_;
    std::unique_ptr<TextCollection> cookieList_;
};

} // namespace tallowick
