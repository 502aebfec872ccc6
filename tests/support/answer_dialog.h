// Shows something modal with show() and, from a second thread, reads the
// first dialog of this process and lets act() answer it, as a user would.
#pragma once

#include "tests/support/test_thread.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>

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
  TestThread answer([&shown, &act, timeoutMs] {
    HWND dialog = uidriver::WaitForDialog(GetCurrentProcessId(), timeoutMs);
    if (!dialog) return;
    shown.view = uidriver::ReadDialog(dialog);
    act(dialog);
  });
  shown.result = show();
  answer.Join();
  return shown;
}

inline std::function<void(HWND)> Press(const std::string& caption) {
  return [caption](HWND dialog) { EXPECT_TRUE(uidriver::PressDialogButton(dialog, caption)); };
}

}  // namespace wine_test
