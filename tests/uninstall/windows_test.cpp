// The uninstaller's windows in this process, answered from a second thread
// through the UI driver as a user would: the confirmation window's results
// and keys, the progress window's deletion view, and the uninstall window's
// picture.
#include "system/step_tree.h"
#include "tests/startup/shell_view.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_thread.h"
#include "uninstall/progress_window.h"
#include "uninstall/uninstall_window.h"
#include "uninstall/directory_question.h"

#include <functional>

namespace {

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

bool WaitVisible(HWND wnd) {
  for (int i = 0; i < 100 && !IsWindowVisible(wnd); ++i) Sleep(50);
  return IsWindowVisible(wnd) != FALSE;
}

// The confirmation window's controls, as the user finds them.
HWND Yes(const DirectoryQuestion& ask) { return uidriver::FindChild(ask.Handle(), "Button", "Ja, Dateien löschen !!"); }
HWND No(const DirectoryQuestion& ask) { return uidriver::FindChild(ask.Handle(), "Button", "Nein, Dateien nicht löschen"); }
HWND Files(const DirectoryQuestion& ask) { return uidriver::FindChild(ask.Handle(), "ListBox"); }

void Key(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 0);
  PostMessageA(target, WM_KEYUP, key, 0);
}

class UninstallWindows : public ::testing::Test {
protected:
  const uidriver::ScreenLock screen_;
};

TEST_F(UninstallWindows, ConfirmationAnswersOnlyByItsButtonsOrTitleBar) {
  struct Case {
    const char* what;
    std::function<void(const DirectoryQuestion&)> act;
    int result;
  };
  const DWORD uiThread = GetCurrentThreadId();
  const Case cases[] = {
      {"Ja", [](const DirectoryQuestion& ask) { uidriver::Click(Yes(ask)); }, form::mrOK},
      {"Nein", [](const DirectoryQuestion& ask) { uidriver::Click(No(ask)); }, form::mrNo},
      {"title bar", [](const DirectoryQuestion& ask) { PostMessageA(ask.Handle(), WM_CLOSE, 0, 0); }, form::mrCancel},
      {"Enter and Escape on the list answer nothing",
       [uiThread](const DirectoryQuestion& ask) {
         // The window has the focus once it is activated.
         GUITHREADINFO info{};
         info.cbSize = sizeof info;
         for (int i = 0; i < 40 && !info.hwndFocus; ++i) {
           Sleep(50);
           GetGUIThreadInfo(uiThread, &info);
         }
         EXPECT_EQ(info.hwndFocus, Files(ask));
         Key(Files(ask), VK_RETURN);
         Key(Files(ask), VK_ESCAPE);
         Sleep(300);
         EXPECT_TRUE(IsWindowVisible(ask.Handle()));
         uidriver::Click(No(ask));
       },
       form::mrNo},
  };
  std::vector<std::string> files = {"C:\\Programme\\Demo"};
  for (int i = 1; i <= 40; ++i) files.push_back("C:\\Programme\\Demo\\Datei" + std::to_string(i) + ".dat");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DirectoryQuestion ask(nullptr);
    ask.SetQuestion("Frage");
    ask.SetFiles(files);
    wine_test::TestThread user([&] {
      if (WaitVisible(ask.Handle())) c.act(ask);
    });
    EXPECT_EQ(ask.ShowModal(nullptr), c.result);
    user.Join();
    EXPECT_EQ(SendMessageA(Files(ask), LB_GETCOUNT, 0, 0), 41);
    EXPECT_TRUE(GetWindowLongA(Files(ask), GWL_STYLE) & WS_VSCROLL) << "a long list scrolls";
  }
}

TEST_F(UninstallWindows, ProgressShowsTheFileBeingDeletedAndCancelChangesNothing) {
  ProgressWindow progress(nullptr);
  EXPECT_EQ(uidriver::Text(progress.Handle()), "Kopiere...");
  progress.ShowForDeletion(4);
  progress.ShowFile("c:\\programme\\demo\\demo.exe");
  progress.ShowFile("c:\\programme\\demo\\demo.hlp");
  EXPECT_EQ(uidriver::Text(progress.Handle()), "Löschen");
  // From, its panel, To, its panel, the gauge and Cancel.
  const std::vector<HWND> controls = uidriver::Descendants(progress.Handle());
  ASSERT_EQ(controls.size(), 6u);
  EXPECT_TRUE(uidriver::IsVisible(controls[0]));
  EXPECT_FALSE(uidriver::IsVisible(controls[2]));
  EXPECT_FALSE(uidriver::IsVisible(controls[3]));
  EXPECT_EQ(uidriver::Text(controls[1]), "c:\\programme\\demo\\demo.hlp");
  {
    const uidriver::OnTop top(progress.Handle());
    // Half way: the left half of the bar is blue, the right half white.
    const RECT gauge = uidriver::ScreenRect(controls[4]);
    const LONG middle = (gauge.left + gauge.right) / 2;
    const uidriver::Image left = uidriver::CaptureRect({gauge.left + 2, gauge.top + 2, middle - 2, gauge.bottom - 2});
    const uidriver::Image right = uidriver::CaptureRect({middle + 2, gauge.top + 2, gauge.right - 2, gauge.bottom - 2});
    EXPECT_GT(testsupport::CountColour(left, kBlue), static_cast<int>(left.pixels.size()) * 3 / 4);
    EXPECT_GT(testsupport::CountColour(right, kWhite), static_cast<int>(right.pixels.size()) * 3 / 4);
  }

  uidriver::Click(controls[5]);
  ProcessMessages();
  EXPECT_TRUE(uidriver::IsVisible(progress.Handle()));
  // The title bar's close box hides the window; it lives on.
  SendMessageA(progress.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(progress.Handle()));
  EXPECT_FALSE(uidriver::IsVisible(progress.Handle()));
}

class Steps : public StepTree {
public:
  void SelectStep(int) override {}
};

TEST_F(UninstallWindows, UninstallWindowShowsTheProgramPathAndTheCrossedOutComputer) {
  Steps steps;
  UninstallWindow window(nullptr, steps);
  // The frame, the picture, the text and the program's path above the buttons.
  const std::vector<HWND> controls = uidriver::Descendants(window.Handle());
  ASSERT_GE(controls.size(), 4u);
  EXPECT_EQ(uidriver::Text(controls[3]), GetAppPath());
  window.Show();
  const uidriver::OnTop top(window.Handle());
  const uidriver::Image icon = uidriver::CaptureRect(uidriver::ScreenRect(controls[1]));
  EXPECT_GT(testsupport::CountColour(icon, kRed), 40) << "the red cross";
}

}  // namespace
