#include <string>
#include <utility>
#include <vector>

#include "deletion/deletion_report.h"
#include "main_window/main_layout.h"
#include "main_window/main_window.h"

namespace tallowick {

using namespace main_controls;

// Every listed file is handed, in order and unchanged, to the deletion.
// A file already gone counts as deleted; one that cannot be deleted is
// recorded and the run goes on, so one refusal never strands the rest.
void Main::cmdDelCookies_Click()
{
    auto& cookies = CookieList();
    std::vector<FailedDeletion> failures;
    {
        const std::unique_ptr<FileDeletion> deletion = createDeletion_();
        const std::size_t count = cookies.Count();
        for (std::size_t i = 1; i <= count; ++i) {
            const std::string& path = cookies.Item(i);
            DeletionResult result = deletion->DeleteFile(path);
            if (result.outcome == DeletionOutcome::Failed)
                failures.push_back({path, std::move(result.error)});
        }
    }

    if (failures.empty()) {
        forms_.SetCaption(*this, Label1, "Cookies eaten...yum!");
        forms_.ClearList(*this, List1);
        EmptyCookieList();
        forms_.SetVisible(*this, cmdSrch, true);
        forms_.SetVisible(*this, cmdDelCookies, false);
        return;
    }

    // Only what is still on disk stays listed; the buttons stay as they are
    // so the user can try again.
    EmptyCookieList();
    for (const FailedDeletion& failure : failures)
        cookies.Add(failure.path);
    ShowCookieList();
    forms_.SetCaption(*this, Label1, std::to_string(failures.size()) + " Cookies not deleted.");
    forms_.ShowMessage(DeletionFailureReport(failures));
}

} // namespace tallowick
