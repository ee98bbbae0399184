// GoogleTest's hook for platform changes, taken ahead of Debian's empty one
// in the Windows cross build. GCC 12's win32-threads libstdc++ has no
// std::mutex or std::condition_variable, which GoogleTest's Notification is
// made of; this one is made of an atomic flag. Only GoogleTest's own thread
// helper uses it, and the tests start no threads.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <atomic>

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification()
    {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

} // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1

#endif
