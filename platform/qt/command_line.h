#pragma once

#include <optional>

namespace tallowick {

// The terminal's conventions, answered before Qt starts: --help, --version,
// an unknown argument (the usage on stderr, status 2) and a missing display
// (one line, status 1), where Qt would abort with a core dump. Qt's own
// options pass through to it. Gives the status to end with, or nothing
// when the window is to be shown.
std::optional<int> AnswerCommandLine(int argc, char** argv);

} // namespace tallowick
