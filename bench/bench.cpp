// Times Find and Delete of the real program on huge cookie folders, against
// GNU find doing the same walk and the same deletions on the same tree.
//
//   tallowick_bench [--runs N] [SCALE...]      (default: 5 runs; 1000 10000 100000)
//   tallowick_bench --make-tree PREFIX SCALE   (only makes the tree, to try by hand)
//
// Each Tallowick figure comes from a fresh process: the real main window on
// the Qt binding (offscreen), the real drive mapping, a real click.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
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

std::string Show(const Summary& s)
{
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(1);
    out << s.median << " (" << s.low << "-" << s.high << ")";
    return out.str();
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

Row Measure(const fs::path& self, const fs::path& work, std::size_t cookies, int runs)
{
    const TreeShape shape = ShapeFor(cookies);
    Row row;
    row.scale = cookies;
    std::vector<double> find, findBaseline, remove, removeBaseline, ratiosFind, ratiosRemove;
    double memory = 0;

    const fs::path searched = work / "searched";
    const TreeCounts counts = MakeCookieTree(searched, shape);
    std::cerr << "  tree of " << counts.cookies << " cookies and " << counts.others << " other files, "
              << shape.profiles << " profiles\n";
    for (int r = 0; r < runs; ++r) {
        const ProgramFigures program = RunProgram(self, "find", searched, counts.cookies);
        std::size_t lines = 0;
        const double baseline = TimeShell(FindCommand(searched, "-print"), lines);
        Expect(lines == counts.cookies, "find(1) printed " + std::to_string(lines) + " files");
        find.push_back(program.milliseconds);
        findBaseline.push_back(baseline);
        ratiosFind.push_back(program.milliseconds / baseline);
        memory = std::max(memory, static_cast<double>(program.peakKiB - program.idleKiB) / 1024.0);
    }
    fs::remove_all(searched);

    for (int r = 0; r < runs; ++r) {
        const fs::path ours = work / "delete-program";
        MakeCookieTree(ours, shape);
        const ProgramFigures program = RunProgram(self, "delete", ours, counts.cookies);
        std::size_t lines = 0;
        TimeShell(FindCommand(ours, "-print"), lines);
        Expect(lines == 0, "the program left " + std::to_string(lines) + " cookie files");
        fs::remove_all(ours);

        const fs::path theirs = work / "delete-find";
        MakeCookieTree(theirs, shape);
        const double baseline = TimeShell(FindCommand(theirs, "-delete"), lines);
        fs::remove_all(theirs);

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

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--program")
        return RunProgramChild(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--make-tree") {
        const std::size_t cookies = std::stoul(argv[3]);
        const TreeCounts counts = MakeCookieTree(argv[2], ShapeFor(cookies));
        std::printf("%zu cookie files, %zu other files\n", counts.cookies, counts.others);
        return 0;
    }

    int runs = 5;
    std::vector<std::size_t> scales;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            scales.push_back(static_cast<std::size_t>(std::stoul(arg)));
    }
    if (scales.empty())
        scales = {1000, 10000, 100000};

    const fs::path self = fs::canonical("/proc/self/exe");
    char pattern[] = "/tmp/tallowick-bench-XXXXXX";
    const fs::path work = ::mkdtemp(pattern);

    std::vector<Row> rows;
    try {
        for (const std::size_t scale : scales) {
            std::cerr << "scale " << scale << " (" << runs << " runs)\n";
            rows.push_back(Measure(self, work, scale, runs));
        }
    } catch (const std::exception& error) {
        std::cerr << "bench: " << error.what() << "\n";
        fs::remove_all(work);
        return 1;
    }
    fs::remove_all(work);

    std::printf("Times in ms: median (min-max) of %d runs; ratio = median of per-run ratios.\n\n", runs);
    std::printf("| cookies | Find | find(1) | ratio | Delete | find -delete | ratio | memory after Find |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows)
        std::printf("| %zu | %s | %s | %.2f | %s | %s | %.2f | +%.1f MiB |\n", row.scale, Show(row.find).c_str(),
                    Show(row.findBaseline).c_str(), row.findRatio, Show(row.remove).c_str(),
                    Show(row.removeBaseline).c_str(), row.removeRatio, row.memoryMiB);
    if (rows.size() >= 2) {
        const Row& small = rows[rows.size() - 2];
        const Row& large = rows.back();
        const double perFileSmall = small.find.median / static_cast<double>(small.scale);
        const double perFileLarge = large.find.median / static_cast<double>(large.scale);
        const double deleteSmall = small.remove.median / static_cast<double>(small.scale);
        const double deleteLarge = large.remove.median / static_cast<double>(large.scale);
        std::printf("\nTime per file, %zu against %zu: Find %.2fx, Delete %.2fx\n", large.scale, small.scale,
                    perFileLarge / perFileSmall, deleteLarge / deleteSmall);
    }
    return 0;
}
