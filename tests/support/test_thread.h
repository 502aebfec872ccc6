// A second thread for tests whose own thread sits in a modal message loop
// (a dialog under test) while something else has to answer it. The Win32
// build uses the win32 thread model, which has no std::thread.
#pragma once

#include "system/handles.h"

#include <process.h>

#include <functional>
#include <utility>

namespace wine_test {

class TestThread {
public:
  explicit TestThread(std::function<void()> body) : body_(std::move(body)) {
    handle_.Reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &TestThread::Main, this, 0, nullptr)));
  }
  ~TestThread() { Join(); }
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;

  void Join() {
    if (handle_) ::WaitForSingleObject(handle_.Get(), INFINITE);
    handle_.Reset();
  }

private:
  static unsigned __stdcall Main(void* self) {
    static_cast<TestThread*>(self)->body_();
    return 0;
  }

  std::function<void()> body_;
  kv::KernelHandle handle_;
};

}  // namespace wine_test
