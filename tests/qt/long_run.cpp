// A long run of the real program window (Qt, offscreen) over a real Wine
// prefix: round after round, a tree is made afresh from its seed, Find and
// Delete are clicked, and the window and every entry of the world are
// checked against the model. Refused files are made deletable and Delete is
// clicked again, as a user would, so every round ends in the ready state.
// Prints resident memory after round 100 and after the last round. Run by
// hand, not by CTest:
//
//   build/linux/tests/qt/tallowick_long_run [ROUNDS [FIRST_SEED]]
//
// 1,000 rounds from seed 1 by default. Ends with status 1 at the first
// round that differs from the model, or when memory grew by more than 2 MiB
// from round 100 to the last.

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "program/project.h"
#include "platform/linux/wine_drive.h"
#include "platform/qt/qt_forms.h"
#include "tests/linux/tree_disk.h"
#include "tests/linux/wine_prefix.h"

namespace tallowick::testing::trees {
namespace {

namespace fs = std::filesystem;

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

class LongRun {
public:
    LongRun()
    {
        forms_.SetMessagePresenter([this](const Message&) { ++messages_; });
        forms_.Show(main_);
        QWidget* window = forms_.Window(main_);
        find_ = window->findChild<QPushButton*>("cmdSrch");
        delete_ = window->findChild<QPushButton*>("cmdDelCookies");
        status_ = window->findChild<QLabel*>("Label1");
        list_ = window->findChild<QAbstractItemView*>("List1");
        if (!find_ || !delete_ || !status_ || !list_)
            throw std::runtime_error("the main window lacks a control");
    }

    // One round; "" when all went as the model says.
    std::string Round(std::uint32_t seed)
    {
        fs::remove_all(top_ / "prefix");
        fs::remove_all(top_ / "outside");
        const Tree tree = Generate(seed, Disk::Linux);
        MakeTree(top_, tree);
        const Listing made = ListTree(top_);
        const Expectation expected = Expect(tree, Disk::Linux, [&](const std::string& folder) { return ReadOrder(top_ / folder); });

        std::string faults;
        const auto check = [&](const char* when, const std::string& difference) {
            if (!difference.empty())
                faults += std::string(when) + ":\n" + difference;
        };
        check("Find", Click(find_, expected.found,
                            expected.found.empty() ? "0 cookies found."
                                                   : std::to_string(expected.found.size()) + " Cookies found."));
        check("the disk after Find", ListingDifference(made, ListTree(top_)));
        if (expected.found.empty())
            return faults;

        ChangeAfterFind(top_, tree);
        const Listing changed = ListTree(top_);
        const int messagesBefore = messages_;
        check("Delete", Click(delete_, expected.kept,
                              expected.kept.empty() ? "Cookies eaten...yum!"
                                                    : std::to_string(expected.kept.size()) + " Cookies not deleted."));
        check("the disk after Delete", ListingDifference(Without(changed, expected.removed), ListTree(top_)));
        check("message boxes", ListDifference({expected.kept.empty() ? "0" : "1"},
                                              {std::to_string(messages_ - messagesBefore)}));
        if (expected.kept.empty())
            return faults;

        // The user mends what was refused and tries again: a folder that
        // stood where a file was goes, a read-only file becomes writable.
        for (const std::string& kept : expected.keptEntries)
            fs::is_directory(fs::symlink_status(top_ / kept)) ? void(fs::remove_all(top_ / kept))
                                                               : void(::chmod((top_ / kept).c_str(), 0644));
        Listing mended = ListTree(top_);
        for (const std::string& kept : expected.keptEntries)
            mended.erase(kept);
        check("Delete again", Click(delete_, {}, "Cookies eaten...yum!"));
        check("the disk after Delete again", ListingDifference(mended, ListTree(top_)));
        return faults;
    }

private:
    // The cookie list in the walk's order; List1 shows the same lines,
    // sorted as its layout says.
    std::string Click(QPushButton* button, std::vector<std::string> listed, const std::string& status)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        std::vector<std::string> items;
        for (std::size_t i = 1; i <= main_.CookieList().Count(); ++i)
            items.emplace_back(main_.CookieList().Item(i));
        std::string faults = ListDifference(listed, items);
        std::vector<std::string> lines;
        for (int row = 0; row < list_->model()->rowCount(); ++row)
            lines.push_back(list_->model()->index(row, 0).data().toString().toStdString());
        std::sort(lines.begin(), lines.end());
        std::sort(listed.begin(), listed.end());
        return faults + ListDifference(listed, lines) + ListDifference({status}, {status_->text().toStdString()});
    }

    TempWinePrefix world_;
    fs::path top_ = world_.At("");
    QtForms forms_;
    Project project_{forms_, [this] { return OpenWineFileSystem(world_.Prefix()); },
                     [this] { return OpenWineFileDeletion(world_.Prefix()); }};
    Main& main_ = project_.main;
    QPushButton* find_ = nullptr;
    QPushButton* delete_ = nullptr;
    QLabel* status_ = nullptr;
    QAbstractItemView* list_ = nullptr;
    int messages_ = 0;
};

int Run(std::uint32_t rounds, std::uint32_t firstSeed)
{
    LongRun run;
    long atRound100 = 0;
    for (std::uint32_t round = 1; round <= rounds; ++round) {
        const std::uint32_t seed = firstSeed + round - 1;
        if (const std::string faults = run.Round(seed); !faults.empty()) {
            std::printf("round %u, seed %u, differs from the model:\n%s", round, seed, faults.c_str());
            return 1;
        }
        if (round == 100 || round == rounds) {
            const long resident = ResidentKiB();
            std::printf("resident memory after round %u: %ld KiB\n", round, resident);
            if (round == 100)
                atRound100 = resident;
        }
    }
    std::printf("%u rounds as the model says; not a file outside its set touched\n", rounds);
    if (rounds >= 100 && ResidentKiB() - atRound100 > 2048) {
        std::printf("memory grew by more than 2 MiB from round 100\n");
        return 1;
    }
    return 0;
}

} // namespace
} // namespace tallowick::testing::trees

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a runtime folder; a private one, removed at the end.
    char runtime[] = "/tmp/tallowick-long-run-XXXXXX";
    const bool ownRuntime = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && ::mkdtemp(runtime) != nullptr;
    if (ownRuntime)
        qputenv("XDG_RUNTIME_DIR", runtime);
    const auto number = [&](int index, unsigned long otherwise) {
        return static_cast<std::uint32_t>(argc > index ? std::strtoul(argv[index], nullptr, 10) : otherwise);
    };
    int status = 2;
    {
        QApplication app(argc, argv);
        try {
            status = tallowick::testing::trees::Run(number(1, 1000), number(2, 1));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "long run: %s\n", error.what());
        }
    }
    if (ownRuntime)
        std::filesystem::remove_all(runtime);
    return status;
}
