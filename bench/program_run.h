#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tallowick::bench {

struct ProgramFigures {
    double milliseconds = 0; // the timed click, until the window shows the result
    long idleKiB = 0;        // resident memory after start, window shown
    long peakKiB = 0;        // peak resident memory after the Find
};

// Runs the program in a fresh process of this benchmark over `prefix`:
// "find" times a click on Find Cookies; "delete" clicks Find, then times a
// click on Delete Cookies. The child checks the window shows `expected`.
ProgramFigures RunProgram(const std::filesystem::path& self, const std::string& mode,
                          const std::filesystem::path& prefix, std::size_t expected);

// The child's side: argv = self --program MODE PREFIX EXPECTED.
int RunProgramChild(int argc, char** argv);

} // namespace tallowick::bench
