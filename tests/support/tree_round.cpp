#include "tests/support/tree_round.h"

#include <chrono>
#include <cstdio>

#include "main_window/main_window.h"

namespace tallowick::testing::trees {

using namespace main_controls;

std::string CheckRound(const Tree& tree, Disk disk, TreeWorld& world)
{
    const Listing made = world.Make(tree);
    const Expectation expected = Expect(tree, disk, [&](const std::string& folder) { return world.Order(folder); });
    const std::unique_ptr<RecordedMain> window = world.Window();

    std::string faults;
    const auto check = [&](const std::string& what, const std::string& difference) {
        if (!difference.empty())
            faults += what + ":\n" + difference;
    };
    const auto errors = [&] {
        std::vector<std::string> descriptions;
        for (const Error& error : window->forms.errors)
            descriptions.push_back(error.description());
        return descriptions;
    };

    window->Click(cmdSrch);
    check("errors", ListDifference({}, errors()));
    check("the list after Find", ListDifference(expected.found, window->Listed()));
    const std::string count = expected.found.empty() ? "0 cookies found."
                                                     : std::to_string(expected.found.size()) + " Cookies found.";
    check("the status after Find", ListDifference({count}, {window->Status()}));
    check("the disk after Find (nothing may change)", ListingDifference(made, world.List()));
    if (expected.found.empty())
        return faults;

    const Listing changed = world.ChangeAfterFind(tree);
    window->Click(cmdDelCookies);
    check("errors", ListDifference({}, errors()));
    check("the list after Delete (the files not deleted)", ListDifference(expected.kept, window->Listed()));
    const std::string result = expected.kept.empty() ? "Cookies eaten...yum!"
                                                     : std::to_string(expected.kept.size()) + " Cookies not deleted.";
    check("the status after Delete", ListDifference({result}, {window->Status()}));
    check("message boxes", ListDifference({expected.kept.empty() ? "0" : "1"},
                                          {std::to_string(window->forms.messages.size())}));
    check("the disk after Delete (exactly the model's files gone)",
          ListingDifference(Without(changed, expected.removed), world.List()));
    return faults;
}

std::string CheckSeeds(Disk disk, std::uint32_t count, const std::function<std::unique_ptr<TreeWorld>()>& newWorld)
{
    const auto start = std::chrono::steady_clock::now();
    std::size_t ran = 0;
    std::string failure;
    for (const std::uint32_t seed : SeedsToRun(count)) {
        const Tree tree = Generate(seed, disk);
        const std::string faults = CheckRound(tree, disk, *newWorld());
        ++ran;
        if (!faults.empty()) {
            failure = "seed " + std::to_string(seed) + " fails; replay it with TALLOWICK_TREE_SEED=" +
                      std::to_string(seed) + "\n" + faults;
            break;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu generated trees in %.1f s\n", ran, took.count());
    std::fflush(stdout);
    return failure;
}

} // namespace tallowick::testing::trees
