#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tallowick {

// `number` is the operating system's error code (errno, GetLastError), or 0
// for the program's own refusals.
class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number), reason_(description) {}
    // An error about one file or folder: "c:\windows\cookies: Access is denied."
    Error(long number, std::string_view subject, std::string_view reason)
        : std::runtime_error(std::string(subject) + ": " + std::string(reason)), number_(number), reason_(reason) {}

    long number() const { return number_; }
    std::string description() const { return what(); }
    // What went wrong, without the file or folder it concerns.
    const std::string& reason() const { return reason_; }

private:
    long number_;
    std::string reason_;
};

// A file that could not be dealt with, and why.
struct FailedFile {
    std::string path;
    Error error;
};

} // namespace tallowick
