#pragma once

#include <stdexcept>
#include <string>

namespace tallowick {

// An error raised by a platform service. `number` is the operating system's
// error code where there is one (errno on Linux, GetLastError on Windows),
// otherwise 0.
class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    long number() const { return number_; }
    std::string description() const { return what(); }

private:
    long number_;
};

} // namespace tallowick
