// Shows something modal with show() and, from a second thread, reads the
// first dialog of this process and lets act() answer it, as a user would.
// A box still open once act() has answered, or one act() could not answer,
// fails the test by its title and text after timeoutMs and is closed by its
// first button, so that show() returns rather than wait for CTest's timeout.
#pragma once

#include "tests/support/test_thread.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

namespace wine_test {

struct Shown {
  uidriver::DialogView view;
  int result = 0;
};

inline Shown ShowAndAnswer(const std::function<int()>& show,
                           const std::function<void(HWND)>& act, DWORD timeoutMs = 5000) {
  Shown shown;
  std::atomic<bool> returned{false};
  TestThread answer([&shown, &act, &returned, timeoutMs] {
    HWND dialog = uidriver::WaitForDialog(GetCurrentProcessId(), timeoutMs);
    if (!dialog) return;
    shown.view = uidriver::ReadDialog(dialog);
    act(dialog);
    for (;;) {
      const DWORD start = GetTickCount();
      while (!returned && GetTickCount() - start < timeoutMs) Sleep(20);
      if (returned) return;
      HWND left = uidriver::WaitForDialog(GetCurrentProcessId(), 0);
      if (!left) continue;  // busy, not waiting on a box
      const uidriver::DialogView view = uidriver::ReadDialog(left);
      ADD_FAILURE() << "a box nobody answered: \"" << view.title << "\" " << view.text;
      if (view.buttons.empty() || !uidriver::PressDialogButton(left, view.buttons.front())) return;
    }
  });
  shown.result = show();
  returned = true;
  answer.Join();
  return shown;
}

inline std::function<void(HWND)> Press(const std::string& caption) {
  return [caption](HWND dialog) { EXPECT_TRUE(uidriver::PressDialogButton(dialog, caption)); };
}

}  // namespace wine_test
