#include "deletion/delete_command.h"

#include <string>
#include <utility>
#include <vector>

namespace tallowick {

void DeleteCookies(Main& main, const FileDeletionFactory& openDeletion, const DeleteInParts& inParts)
{
    auto& cookies = main.CookieList();
    // The parts share nothing but the list, which they only read.
    std::vector<FailedFile> failures = inParts(cookies.Count(), [&](std::size_t first, std::size_t last) {
        std::vector<FailedFile> failed;
        const std::unique_ptr<FileDeletion> deletion = openDeletion();
        for (std::size_t i = first; i <= last; ++i) {
            const std::string_view path = cookies.Item(i);
            DeletionResult result = deletion->DeleteFile(path);
            if (result.outcome == DeletionOutcome::Failed)
                failed.push_back({std::string(path), std::move(result.error)});
        }
        return failed;
    });

    main.EmptyCookieList();
    if (failures.empty()) {
        main.SetStatus("Cookies eaten...yum!");
        main.ShowCookieList();
        main.ShowReadyButtons(true);
        return;
    }

    // What is still on disk stays listed, and Delete stays, to try again.
    for (const FailedFile& failure : failures)
        cookies.Add(failure.path);
    main.ShowCookieList();
    main.SetStatus(std::to_string(failures.size()) + " Cookies not deleted.");
    const std::string summary = failures.size() == 1 ? "This file could not be deleted. It stays in the list."
                                                     : "These " + std::to_string(failures.size()) +
                                                           " files could not be deleted. They stay in the list.";
    main.ShowFailures(summary, std::move(failures));
}

} // namespace tallowick
