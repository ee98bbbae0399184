#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {
namespace {

// The same program runs once as NT and once as Windows 98; this makes sure
// each run really took the branch it was meant for.
TEST(WindowsVersion, IsTheFamilyThisRunIsFor)
{
    const char* expected = std::getenv("TALLOWICK_EXPECTED_WINDOWS");
    if (!expected)
        GTEST_SKIP() << "TALLOWICK_EXPECTED_WINDOWS (nt or 9x) not set";
    EXPECT_EQ(RunsOnNt() ? "nt" : "9x", std::string(expected));
}

} // namespace
} // namespace tallowick::win32
