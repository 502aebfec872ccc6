// GoogleTest's customisation header for the Win32 build. The program is built
// with mingw-w64's win32 thread model (so it imports nothing that Windows 95
// lacks), which has no std::mutex; GoogleTest's own locking uses critical
// sections, and only its Notification helper wants std::mutex. This one waits
// on an atomic flag instead. The program's tests never start threads.
#ifndef KV_GTEST_CUSTOM_PORT_H_
#define KV_GTEST_CUSTOM_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // KV_GTEST_CUSTOM_PORT_H_
