// Times Find and Delete of the real program on huge cookie folders, against
// GNU find doing the same walk and the same deletions on the same tree.
//
//   tallowick_bench [--runs N] [--dir FOLDER] [SCALE...]
//       (default: 5 runs; 1000 10000 100000; trees in $TMPDIR, else /tmp)
//   tallowick_bench --make-tree PREFIX SCALE   (only makes the tree, to try by hand)
//
// Each Tallowick figure comes from a fresh process: the real main window on
// the Qt binding (offscreen), the real drive mapping, a real click. The
// trees are made before the rounds; after a Delete round a spare tree made
// with them takes the used one's place.

#include <fcntl.h>
#include <linux/fs.h>
#include <mntent.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/cookie_tree.h"
#include "bench/program_run.h"

namespace fs = std::filesystem;
using namespace tallowick::bench;

namespace {

// The same walk as the program's, in find(1): the fixed folders and the
// cookies folder of each of their subfolders, one level deep, names holding
// ".txt". The shell's glob lists the subfolders, as the program does
// ("[c]ookies" makes bash match that component regardless of case).
std::string FindCommand(const fs::path& prefix, const std::string& action)
{
    const fs::path windows = prefix / "drive_c" / "windows";
    return "cd '" + windows.string() + "' && shopt -s nocaseglob nullglob && exec find Cookies Profiles "
           "'Temporary Internet Files' Cookies/*/[c]ookies Profiles/*/[c]ookies 'Temporary Internet Files'/*/[c]ookies "
           "-maxdepth 1 -name '*.txt*' \\( -type f -o -type l \\) " + action;
}

// Runs a shell command, counts the lines it prints, returns milliseconds.
double TimeShell(const std::string& command, std::size_t& lines)
{
    const auto start = std::chrono::steady_clock::now();
    FILE* pipe = ::popen(("bash -c \"" + command + "\"").c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot start bash");
    lines = 0;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        lines += static_cast<std::size_t>(std::count(buffer, buffer + got, '\n'));
    const int status = ::pclose(pipe);
    const auto stop = std::chrono::steady_clock::now();
    if (status != 0)
        throw std::runtime_error("command failed: " + command);
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
};

Summary Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

std::string Figure(double value, int decimals)
{
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

std::string Show(const Summary& s)
{
    return Figure(s.median, 1) + " (" + Figure(s.low, 1) + "-" + Figure(s.high, 1) + ")";
}

void Expect(bool holds, const std::string& what)
{
    if (!holds)
        throw std::runtime_error(what);
}

struct Row {
    std::size_t scale = 0;
    Summary find, findBaseline, remove, removeBaseline;
    double findRatio = 0, removeRatio = 0;
    double memoryMiB = 0;
};

// One scale's tree and its spares, made before any round deletes a file.
struct Tree {
    Tree(const fs::path& work, std::size_t cookies)
        : prefix(work / ("tree-" + std::to_string(cookies))),
          shape(ShapeFor(cookies)),
          spares(prefix, work / ("spares-" + std::to_string(cookies)), shape)
    {
    }
    fs::path prefix;
    TreeShape shape;
    TreeCounts counts;
    SpareTrees spares;
};

void Renew(Tree& tree)
{
    tree.spares.Renew();
    SyncFileSystem(tree.prefix);
}

Row Measure(const fs::path& self, Tree& tree, int runs)
{
    const fs::path& prefix = tree.prefix;
    const std::size_t cookies = tree.counts.cookies;
    Row row;
    row.scale = tree.shape.cookies;
    std::vector<double> find, findBaseline, remove, removeBaseline, ratiosFind, ratiosRemove;
    double memory = 0;

    for (int r = 0; r < runs; ++r) {
        const ProgramFigures program = RunProgram(self, "find", prefix, cookies);
        std::size_t lines = 0;
        const double baseline = TimeShell(FindCommand(prefix, "-print"), lines);
        Expect(lines == cookies, "find(1) printed " + std::to_string(lines) + " files");
        find.push_back(program.milliseconds);
        findBaseline.push_back(baseline);
        ratiosFind.push_back(program.milliseconds / baseline);
        memory = std::max(memory, static_cast<double>(program.peakKiB - program.idleKiB) / 1024.0);
    }

    for (int r = 0; r < runs; ++r) {
        const ProgramFigures program = RunProgram(self, "delete", prefix, cookies);
        std::size_t lines = 0;
        TimeShell(FindCommand(prefix, "-print"), lines);
        Expect(lines == 0, "the program left " + std::to_string(lines) + " cookie files");
        Renew(tree);

        const double baseline = TimeShell(FindCommand(prefix, "-delete"), lines);
        if (r + 1 < runs)
            Renew(tree);

        remove.push_back(program.milliseconds);
        removeBaseline.push_back(baseline);
        ratiosRemove.push_back(program.milliseconds / baseline);
    }

    row.find = Summarise(find);
    row.findBaseline = Summarise(findBaseline);
    row.findRatio = Summarise(ratiosFind).median;
    row.remove = Summarise(remove);
    row.removeBaseline = Summarise(removeBaseline);
    row.removeRatio = Summarise(ratiosRemove).median;
    row.memoryMiB = memory;
    return row;
}

// The type of the file system that holds `folder`, as mounted ("ext4",
// "tmpfs"): the mount point that is the longest prefix of its path.
std::string FileSystemType(const fs::path& folder)
{
    const std::string path = fs::canonical(folder).string();
    std::string type = "unknown";
    std::size_t longest = 0;
    FILE* mounts = ::setmntent("/proc/self/mounts", "r");
    if (mounts == nullptr)
        return type;
    while (const mntent* mount = ::getmntent(mounts)) {
        const std::string point = mount->mnt_dir;
        const bool holds = point == "/" || path == point || path.rfind(point + "/", 0) == 0;
        if (holds && point.size() >= longest) {
            longest = point.size();
            type = mount->mnt_type;
        }
    }
    ::endmntent(mounts);
    return type;
}

// Asks ext4 to place each folder made directly in `folder` where the disk
// has the most room, as it places top-level folders. Without a journal,
// ext4 passes over every inode freed in the last minutes when it makes a
// file; where other work has just deleted many, making a tree costs ten
// times as much. Other file systems do not know the flag.
void SpreadSubfolders(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags |= FS_TOPDIR_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
}

// Every tree is made before any round deletes a file, and then as many
// spares as half the file system's free inodes allow.
std::vector<std::unique_ptr<Tree>> MakeTrees(const fs::path& work, const std::vector<std::size_t>& scales, int runs)
{
    std::vector<std::unique_ptr<Tree>> trees;
    for (const std::size_t scale : scales) {
        auto tree = std::make_unique<Tree>(work, scale);
        tree->counts = MakeCookieTree(tree->prefix, tree->shape);
        std::cerr << "tree of " << tree->counts.cookies << " cookies and " << tree->counts.others
                  << " other files, " << tree->shape.profiles << " profiles\n";
        trees.push_back(std::move(tree));
    }
    struct statvfs space {};
    Expect(::statvfs(work.c_str(), &space) == 0, "no inode count for " + work.string());
    std::size_t budget = space.f_favail / 2;
    const std::size_t wanted = 2 * static_cast<std::size_t>(runs) - 1;
    for (const auto& tree : trees) {
        const std::size_t files = tree->counts.cookies + tree->counts.others;
        while (tree->spares.Left() < wanted && files <= budget) {
            tree->spares.Add();
            budget -= files;
        }
        std::cerr << "spare trees at " << tree->shape.cookies << ": " << tree->spares.Left() << " of the " << wanted
                  << " that the Delete rounds take (the rest made when needed)\n";
    }
    SyncFileSystem(work);
    return trees;
}

void PrintReport(const std::vector<Row>& rows, int runs, const fs::path& parent, const std::string& fileSystem)
{
    std::printf("Trees in %s (%s).\n", parent.c_str(), fileSystem.c_str());
    std::printf("Times in ms: median (min-max) of %d runs; ratio = median of per-run ratios.\n\n", runs);
    std::printf("| cookies | Find | find(1) | ratio | Delete | find -delete | ratio | memory after Find |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows)
        std::printf("| %zu | %s | %s | %.2f | %s | %s | %.2f | +%.1f MiB |\n", row.scale, Show(row.find).c_str(),
                    Show(row.findBaseline).c_str(), row.findRatio, Show(row.remove).c_str(),
                    Show(row.removeBaseline).c_str(), row.removeRatio, row.memoryMiB);

    // Per cookie file: the medians' times and the memory after Find.
    const auto findPerFile = [](const Row& row) { return 1000.0 * row.find.median / static_cast<double>(row.scale); };
    const auto deletePerFile = [](const Row& row) {
        return 1000.0 * row.remove.median / static_cast<double>(row.scale);
    };
    const auto bytesPerFile = [](const Row& row) {
        return row.memoryMiB * 1024.0 * 1024.0 / static_cast<double>(row.scale);
    };
    std::printf("\nPer file:\n\n| cookies | Find | Delete | memory after Find |\n|---:|---:|---:|---:|\n");
    for (const Row& row : rows)
        std::printf("| %zu | %s µs | %s µs | %s bytes |\n", row.scale, Figure(findPerFile(row), 2).c_str(),
                    Figure(deletePerFile(row), 2).c_str(), Figure(bytesPerFile(row), 0).c_str());
    if (rows.size() >= 2) {
        const Row& small = rows[rows.size() - 2];
        const Row& large = rows.back();
        std::printf("\nPer file, %zu against %zu: Find %.2fx, Delete %.2fx, memory %.2fx\n", large.scale,
                    small.scale, findPerFile(large) / findPerFile(small), deletePerFile(large) / deletePerFile(small),
                    bytesPerFile(large) / bytesPerFile(small));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--program")
        return RunProgramChild(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--make-tree") {
        const std::size_t cookies = std::stoul(argv[3]);
        const TreeCounts counts = MakeCookieTree(argv[2], ShapeFor(cookies));
        SyncFileSystem(argv[2]);
        std::printf("%zu cookie files, %zu other files\n", counts.cookies, counts.others);
        return 0;
    }

    int runs = 5;
    fs::path parent = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != 0)
        parent = tmp;
    std::vector<std::size_t> scales;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--dir" && i + 1 < argc)
            parent = argv[++i];
        else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos)
            scales.push_back(static_cast<std::size_t>(std::stoul(arg)));
        else {
            std::cerr << "usage: tallowick_bench [--runs N] [--dir FOLDER] [SCALE...]\n";
            return 2;
        }
    }
    if (scales.empty())
        scales = {1000, 10000, 100000};

    const fs::path self = fs::canonical("/proc/self/exe");
    std::string pattern = (parent / "tallowick-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::cerr << "bench: cannot make a folder in " << parent << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    const fs::path work = pattern;
    const std::string fileSystem = FileSystemType(work);
    std::cerr << "trees in " << work << " (" << fileSystem << ")\n";
    SpreadSubfolders(work);
    // Qt wants a runtime folder; one for all the program runs, removed with
    // the trees.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime == nullptr || *runtime == 0) {
        const fs::path folder = work / "runtime";
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }

    std::vector<Row> rows;
    try {
        std::vector<std::unique_ptr<Tree>> trees = MakeTrees(work, scales, runs);
        for (auto& tree : trees) {
            std::cerr << "scale " << tree->shape.cookies << " (" << runs << " runs)\n";
            rows.push_back(Measure(self, *tree, runs));
            fs::remove_all(tree->prefix);
        }
    } catch (const std::exception& error) {
        std::cerr << "bench: " << error.what() << "\n";
        fs::remove_all(work);
        return 1;
    }
    fs::remove_all(work);
    PrintReport(rows, runs, parent, fileSystem);
    return 0;
}
