#include <cstdio>

#include "ui_test.h"

namespace ui_test {
namespace {
int failures = 0;
}

std::vector<TestCase>& Registry()
{
    static std::vector<TestCase> tests;
    return tests;
}

bool Register(const char* suite, const char* name, void (*run)())
{
    Registry().push_back({std::string(suite) + "." + name, run});
    return true;
}

Failure::Failure(const char* file, int line, std::string text)
{
    text_ << file << ":" << line << ": " << text;
}

Failure::~Failure()
{
    ++failures;
    std::printf("  %s\n", text_.str().c_str());
}

} // namespace ui_test

// Usage: a test program [part of a name]: runs the tests whose "Suite.Test"
// name holds it, or all of them.
int main(int argc, char** argv)
{
    const std::string filter = argc > 1 ? argv[1] : "";
    int run = 0;
    int failed = 0;
    for (const auto& test : ui_test::Registry()) {
        if (test.name.find(filter) == std::string::npos)
            continue;
        const int before = ui_test::failures;
        std::printf("[ RUN      ] %s\n", test.name.c_str());
        std::fflush(stdout);
        test.run();
        const bool ok = ui_test::failures == before;
        std::printf("[ %s ] %s\n", ok ? "      OK" : " FAILED ", test.name.c_str());
        std::fflush(stdout);
        ++run;
        failed += ok ? 0 : 1;
    }
    std::printf("%d tests ran, %d failed\n", run, failed);
    return run == 0 || failed != 0 ? 1 : 0;
}
