// Every window of the program placed on the screen it runs on: the ctest
// run's 1024 x 768 at 96 dots per inch, and placement_test.sh's small screens
// with large fonts.
#include "startup/shell_window.h"
#include "system/process_values.h"
#include "system/dialogs.h"
#include "system/form.h"
#include "tests/startup/test_support.h"
#include "uninstall/progress_window.h"
#include "uninstall/uninstall_window.h"
#include "uninstall/directory_question.h"
#include "wizard/install_wizard.h"

#include <vector>

namespace {

struct Screen {
  int width, height, dpi;
  RECT wizard, uninstall, ask, progress;  // outer rectangles on the screen
};

// The wizard (504 x 375 at 96 dpi, 752 x 558 at 144) and the uninstall
// window are centred right of the step tree, the confirmation and progress
// windows on the screen; where that runs past an edge the window is moved
// back, and one larger than the screen sits at its top-left corner.
const Screen kScreens[] = {
    {1024, 768, 96, {336, 195, 840, 570}, {362, 233, 815, 532}, {256, 196, 768, 571}, {317, 283, 706, 485}},
    // Centred, the wizard would end 11 px past the right edge.
    {800, 600, 120, {172, 65, 800, 532}, {214, 112, 779, 484}, {81, 66, 719, 534}, {157, 174, 642, 425}},
    // The wizard 92 px past the edge, the uninstall window 54 px.
    {800, 600, 144, {48, 19, 800, 577}, {123, 76, 800, 520}, {18, 20, 782, 580}, {109, 150, 690, 449}},
    // The wizard 9 px past the edge.
    {640, 480, 96, {136, 51, 640, 426}, {170, 89, 623, 388}, {64, 52, 576, 427}, {125, 139, 514, 341}},
    // The wizard and the confirmation are larger than the screen; the
    // uninstall window is only wider, and keeps its computed top.
    {640, 480, 144, {0, 0, 752, 558}, {0, 16, 677, 460}, {0, 0, 764, 560}, {29, 90, 610, 389}},
};

void ExpectRect(const char* window, HWND wnd, const RECT& expected) {
  SCOPED_TRACE(window);
  const RECT r = uidriver::ScreenRect(wnd);
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
            std::vector<LONG>({expected.left, expected.top, expected.right, expected.bottom}));
}

TEST(WindowPlacement, EveryWindowOnTheScreen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const int dpi = form::ScreenDpi();
  const Screen* screen = nullptr;
  for (const Screen& s : kScreens) {
    if (s.width == width && s.height == height && s.dpi == dpi) screen = &s;
  }
  ASSERT_TRUE(screen) << "no row for " << width << "x" << height << " at " << dpi << " dpi";
  SetApplicationTitle("Setup");
  AutoMode = false;

  ShellWindow shell;
  {
    InstallWizard wizard(shell.Handle(), shell);
    shell.PlaceBesideSteps(wizard.Handle());
    ExpectRect("wizard", wizard.Handle(), screen->wizard);
  }
  {
    UninstallWindow uninstall(shell.Handle(), shell);
    shell.PlaceBesideSteps(uninstall.Handle());
    ExpectRect("uninstall window", uninstall.Handle(), screen->uninstall);
  }
  ExpectRect("confirmation", DirectoryQuestion(shell.Handle()).Handle(), screen->ask);
  ExpectRect("progress", ProgressWindow(shell.Handle()).Handle(), screen->progress);
}

}  // namespace
