#pragma once

// The few googletest macros these tests use (TEST, EXPECT_*, ASSERT_TRUE,
// ADD_FAILURE), on a small runner: googletest 1.12 does not build with the
// win32-threads mingw runtime, which has no std::mutex.

#include <sstream>
#include <string>
#include <vector>

namespace ui_test {

struct TestCase {
    std::string name; // "Suite.Test"
    void (*run)();
};

std::vector<TestCase>& Registry();
bool Register(const char* suite, const char* name, void (*run)());

// Reports one failure, with whatever was streamed into it, when it goes.
class Failure {
public:
    Failure(const char* file, int line, std::string text);
    ~Failure();
    Failure(const Failure&) = delete;
    Failure& operator=(const Failure&) = delete;

    template <typename T>
    Failure& operator<<(const T& value)
    {
        text_ << value;
        return *this;
    }

private:
    std::ostringstream text_;
};

template <typename A, typename B>
bool Equal(const A& actual, const B& expected, const char* actualText, const char* file, int line)
{
    if (actual == expected)
        return true;
    Failure(file, line, "") << actualText << " is " << actual << ", expected " << expected;
    return false;
}

} // namespace ui_test

#define TEST(suite, name)                                                                   \
    static void suite##_##name();                                                           \
    [[maybe_unused]] static const bool suite##_##name##_registered =                        \
        ui_test::Register(#suite, #name, suite##_##name);                                   \
    static void suite##_##name()

#define ADD_FAILURE() ui_test::Failure(__FILE__, __LINE__, "")
#define EXPECT_TRUE(condition) \
    if (condition) {           \
    } else                     \
        ui_test::Failure(__FILE__, __LINE__, "failed: " #condition)
#define ASSERT_TRUE(condition) \
    if (condition) {           \
    } else                     \
        return (void)ui_test::Failure(__FILE__, __LINE__, "required: " #condition)
#define EXPECT_EQ(actual, expected) ui_test::Equal((actual), (expected), #actual, __FILE__, __LINE__)
