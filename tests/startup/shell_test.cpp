// The shell window created in this process. The test program's name is not
// SETUP.EXE, so the window comes up in uninstall mode and reads the install
// log placed beside the program by the build.
#include "startup/shell_window.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/registry.h"
#include "system/dialogs.h"
#include "system/seam.h"
#include "tests/support/answer_dialog.h"
#include "tests/startup/shell_view.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvTest.Shell";

void SetUninstallString(const char* value) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  if (!value) return;
  kv::RegKey key = OpenMachineKey(kUninstallKey, true);
  ASSERT_TRUE(key);
  ASSERT_TRUE(WriteRegString(key.Get(), "UninstallString", value));
}

// Shows the window and lets it paint before the screen is read.
void ShowPainted(ShellWindow& form) {
  form.Show();
  UpdateWindow(form.Handle());
  for (int i = 0; i < 5; ++i) {
    ProcessMessages();
    Sleep(60);
  }
}

RECT ClientOnScreen(HWND wnd) {
  RECT r;
  GetClientRect(wnd, &r);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT RectIn(HWND control, HWND parent) {
  RECT r = uidriver::ScreenRect(control);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class ShellWindowTest : public ::testing::Test {
protected:
  const uidriver::ScreenLock screen_;

  void SetUp() override {
    // Without it the window's creation would end this process, and an ended
    // test counts as passed.
    ASSERT_NE(GetFileAttributesA((GetAppDir() + "install1.log").c_str()), INVALID_FILE_ATTRIBUTES);
    AutoMode = false;
    SetUninstallString(nullptr);
  }
  void TearDown() override {
    seam::SimulateScreenBitsPerPixel(0);
    seam::SimulateKeysAtStart(nullptr);
    seam::SimulateRestrictedAccount(false);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  }
};

TEST_F(ShellWindowTest, CreationReadsTheModesListFile) {
  const ShellWindow form;
  EXPECT_EQ(ProgName, "Demo Manager");
  EXPECT_EQ(ShortcutName, "Demo Manager");
  EXPECT_EQ(DefaultPath, "C:\\Programme\\Demo");
  EXPECT_EQ(StartMenuFolder, "KvTest.Shell");
  EXPECT_EQ(GroupName, "Demo Gruppe");
  EXPECT_FALSE(MobileOption);  // "yes" is not a number
  EXPECT_TRUE(OnlyMobile);     // "0x1"
  EXPECT_FALSE(AutoMode);

  const testsupport::ShellView view = testsupport::ReadShell(form.Handle());
  EXPECT_EQ(view.caption, "Deinstallation");
  EXPECT_EQ(view.progNameText, "Demo Manager");
  EXPECT_EQ(view.system, GetWindowsVersionName());
  EXPECT_EQ(view.footer.substr(0, 12), "    Kalvento");
  // The look-up only reads: a setup cancelled now leaves no empty key behind.
  kv::RegKey key;
  EXPECT_NE(RegOpenKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, key.Receive()), ERROR_SUCCESS);
  key.Release();
}

TEST_F(ShellWindowTest, PreviousInstallationReplacesTheDefaultPath) {
  const kvtest::TempDir temp;
  const std::string folder = temp.Path() + "Progs";
  const std::string app = folder + "\\App";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(app.c_str(), nullptr);
  const std::string listDefault = "C:\\Programme\\Demo";
  struct Case {
    const char* name;
    std::string uninstallString;
    bool present;
    bool restricted;
    std::string expected;
  } cases[] = {
      {"directory exists", app + "\\Uninstal.exe", true, false, app},
      {"quoted, as entries are written now", "\"" + app + "\\Uninstal.exe\"", true, false, app},
      {"directory gone", folder + "\\Gone\\Uninstal.exe", true, false, listDefault},
      {"no backslash", "Uninstal.exe", true, false, listDefault},
      {"empty value", "", true, false, listDefault},
      {"no entry", "", false, false, listDefault},
      // Reading the entry needs no administrator.
      {"account without administrator rights", app + "\\Uninstal.exe", true, true, app},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUninstallString(c.present ? c.uninstallString.c_str() : nullptr);
    seam::SimulateRestrictedAccount(c.restricted);
    const ShellWindow form;
    EXPECT_EQ(DefaultPath, c.expected);
    seam::SimulateRestrictedAccount(false);
  }
}

TEST_F(ShellWindowTest, ShiftAndCtrlTogetherSelectAutomaticModeButNoUnattendedUninstall) {
  struct Case {
    const char* name;
    seam::SimulatedKeys keys;
    bool automatic;
  } cases[] = {
      {"none", {false, false}, false},
      {"Shift", {true, false}, false},
      {"Ctrl", {false, true}, false},
      {"Shift+Ctrl", {true, true}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AutoMode = false;
    seam::SimulateKeysAtStart(&c.keys);
    const ShellWindow form;
    EXPECT_EQ(AutoMode, c.automatic);
    // Keys held at start never remove a product unasked: only "/s" does.
    EXPECT_FALSE(form.IsUnattendedUninstall());
  }
}

TEST_F(ShellWindowTest, ControlsAtTheirDesignSizesScaledToTheScreen) {
  ShellWindow form;
  ShowPainted(form);
  int dpi = 0;
  {
    kv::WindowDC screen(nullptr);
    dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  auto scaled = [dpi](int designPixels) { return MulDiv(designPixels, dpi, 120); };
  HWND wnd = form.Handle();
  RECT client;
  GetClientRect(wnd, &client);
  const testsupport::ShellView view = testsupport::ReadShell(wnd);
  HWND panel = uidriver::FindChild(wnd, "KvContainer");
  HWND tree = uidriver::FindChild(wnd, "SysTreeView32");
  HWND footer = uidriver::FindChild(wnd, "Static", view.footer);
  HWND system = uidriver::FindChild(wnd, "Static", view.system);
  ASSERT_TRUE(panel && tree && footer && system);

  const RECT footerRect = RectIn(footer, wnd);
  const RECT panelRect = RectIn(panel, wnd);
  const RECT captionRect = RectIn(view.setupType, wnd);
  const RECT treeRect = RectIn(tree, wnd);
  const RECT systemRect = RectIn(system, wnd);
  const RECT nameRect = RectIn(view.progName, wnd);
  struct Case {
    const char* what;
    long actual;
    long expected;
  } cases[] = {
      {"footer height", footerRect.bottom - footerRect.top, scaled(18)},
      {"footer bottom", footerRect.bottom, client.bottom},
      {"footer width", footerRect.right - footerRect.left, client.right},
      {"column width", panelRect.right - panelRect.left, scaled(201)},
      {"column top", panelRect.top, 0},
      {"column bottom", panelRect.bottom, footerRect.top},
      {"caption panel height", captionRect.bottom - captionRect.top, scaled(41)},
      {"caption panel top", captionRect.top, 0},
      {"tree top", treeRect.top, captionRect.bottom},
      {"tree bottom", treeRect.bottom, systemRect.top},
      {"system panel height", systemRect.bottom - systemRect.top, scaled(24)},
      {"system panel bottom", systemRect.bottom, panelRect.bottom},
      {"name left", nameRect.left, scaled(213)},
      {"name top", nameRect.top, scaled(8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.actual, c.expected);
  }
  EXPECT_GT(nameRect.right - nameRect.left, 0);
}

TEST_F(ShellWindowTest, GradientBandsFromNavyToBlack) {
  ShellWindow form;
  ASSERT_TRUE(form.IsGradientOn());
  ShowPainted(form);
  HWND wnd = form.Handle();
  const RECT client = ClientOnScreen(wnd);
  const RECT outer = uidriver::ScreenRect(wnd);
  const int outerHeight = outer.bottom - outer.top;
  // Right of the column, above the footer: only the gradient shows there.
  const int x = client.right - 20;
  const uidriver::OnTop top(wnd);
  for (int y : {0, 1, 100, 300, 500, 600}) {
    if (client.top + y >= client.bottom - 30) continue;
    SCOPED_TRACE("row " + std::to_string(y));
    const uidriver::Image pixel = uidriver::CaptureRect(RECT{x, client.top + y, x + 1, client.top + y + 1});
    ASSERT_EQ(pixel.pixels.size(), 1u);
    const int row = y * 256 / outerHeight;
    const int blue = static_cast<int>(pixel.pixels[0] & 0xFF);
    EXPECT_NEAR(blue, (256 - row) * 128 / 256, 1);
    EXPECT_EQ(pixel.pixels[0] & 0xFFFF00, 0u);  // no red, no green
  }
}

TEST_F(ShellWindowTest, SilverWithoutGradientOn256Colours) {
  seam::SimulateScreenBitsPerPixel(8);
  ShellWindow form;
  EXPECT_FALSE(form.IsGradientOn());
  ShowPainted(form);
  testsupport::SaveShot(form.Handle(), "shell-256-colours");
  const RECT client = ClientOnScreen(form.Handle());
  const uidriver::OnTop top(form.Handle());
  const uidriver::Image area =
      uidriver::CaptureRect(RECT{client.right - 200, client.top + 50, client.right - 20, client.top + 250});
  EXPECT_EQ(testsupport::CountColour(area, 0xC0C0C0), static_cast<int>(area.pixels.size()));
  // Behind the program name too.
  const testsupport::ShellView view = testsupport::ReadShell(form.Handle());
  const uidriver::Image name = uidriver::CaptureRect(uidriver::ScreenRect(view.progName));
  EXPECT_GT(testsupport::CountColour(name, 0xC0C0C0), 0);
  EXPECT_GT(testsupport::CountColour(name, 0xFFFFFF), 0);
}

TEST(ShellBlend, ByteByByteWithTruncatingDivision) {
  struct Case {
    COLORREF a, b;
    int c, d;
    COLORREF expected;
  } cases[] = {
      {0x800000, 0x000000, 0, 256, 0x800000},    // gradient row 0: blue 128
      {0x800000, 0x000000, 1, 256, 0x7F0000},    // row 1: 127
      {0x800000, 0x000000, 128, 256, 0x400000},  // half way
      {0x800000, 0x000000, 255, 256, 0x000000},  // row 255: 0
      {0x00FF8040, 0x00000000, 1, 2, 0x007F4020},
      {0x00000000, 0x00FFFFFF, 1, 3, 0x00555555},
      {0xFF000000, 0x01000000, 1, 2, 0x80000000},  // the fourth byte too
      {0x00102030, 0x00405060, 4, 4, 0x00405060},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.c) + "/" + std::to_string(c.d));
    EXPECT_EQ(Blend(c.a, c.b, c.c, c.d), c.expected);
  }
}

TEST(StartupSettings, KeysAndTheirDefaults) {
  const kvtest::TempDir temp;
  const std::string dir = temp.Path();
  struct Case {
    const char* name;
    const char* content;
    const char* progName;
    const char* shortcutName;
    const char* defaultPath;
    const char* folder;
    const char* group;
    bool mobile, onlyMobile;
  } cases[] = {
      {"all keys",
       "[General]\r\nName=Demo\r\ndefaultPath=D:\\Demo\r\nMobileOption=1\r\nOnlyMobile=-1\r\n"
       "[StartMenu]\r\nFolder=DemoFolder\r\n[Group]\r\nName=Gruppe\r\n",
       "Demo", "Demo", "D:\\Demo", "DemoFolder", "Gruppe", true, true},
      {"no keys", "[General]\r\n", "Programm", "", "C:\\App", "Unbenannt", "", false, false},
      {"empty values", "[General]\r\nName=\r\ndefaultPath=\r\n[StartMenu]\r\nFolder=\r\n[Group]\r\nName=\r\n",
       "", "", "", "", "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kvtest::WriteBytes(dir + "Setup.lst", c.content);
    ReadStartupSettings(dir + "Setup.lst");
    EXPECT_EQ(ProgName, c.progName);
    EXPECT_EQ(ShortcutName, c.shortcutName);
    EXPECT_EQ(DefaultPath, c.defaultPath);
    EXPECT_EQ(StartMenuFolder, c.folder);
    EXPECT_EQ(GroupName, c.group);
    EXPECT_EQ(MobileOption, c.mobile);
    EXPECT_EQ(OnlyMobile, c.onlyMobile);
  }
}

}  // namespace

namespace {

// Refuses the creation of every window of this class, as a system out of
// window resources would.
const char* g_refusedClass = "";
LRESULT CALLBACK RefuseWindowClass(int code, WPARAM wp, LPARAM lp) {
  char cls[32] = {};
  if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls) &&
      std::string(cls) == g_refusedClass) {
    return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

TEST_F(ShellWindowTest, AWindowOrControlThatCannotBeCreatedIsReportedAndEndsTheProgram) {
  const struct {
    const char* refused;
    const char* text;
  } rows[] = {
      {"Tf_Setup", "Das Fenster \"Tf_Setup\" konnte nicht erstellt werden. Das Setup-Programm wird beendet."},
      {"SysTreeView32",
       "Das Fenster \"SysTreeView32\" konnte nicht erstellt werden. Das Setup-Programm wird beendet."},
  };
  SetApplicationTitle("Setup");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.refused);
    g_refusedClass = row.refused;
    const HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseWindowClass, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    seam::InterceptProgramEnd(true);
    int exitCode = -1;
    const wine_test::Shown shown = wine_test::ShowAndAnswer(
        [&] {
          try {
            const ShellWindow form;
          } catch (const seam::ProgramEnded& ended) {
            exitCode = ended.code;
          }
          return 0;
        },
        wine_test::Press("OK"));
    seam::InterceptProgramEnd(false);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(exitCode, ecNoWindow);
    EXPECT_EQ(shown.view.title, "Setup");
    EXPECT_EQ(shown.view.text, row.text);
  }
}
