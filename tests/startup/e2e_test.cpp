// SETUP.EXE end to end: copies of it started under various names from a test
// medium, with and without a list file, with arguments and held keys, seen
// through the UI driver the way a user sees them.
#include "startup/shell_window.h"
#include "tests/startup/shell_view.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include "system/handles.h"

#include <commctrl.h>

namespace {

using testsupport::ReadShell;
using testsupport::ShellView;

constexpr DWORD kWindowTimeoutMs = 10000;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kLime = 0x00FF00;

const char kSetupList[] =
    "[General]\r\nName=Aus Setup.lst\r\ndefaultPath=C:\\Programme\\Demo\r\n"
    "[StartMenu]\r\nFolder=KvTest.E2E\r\n";
const char kInstallLog[] =
    "[General]\r\nName=Aus install1.log\r\n[StartMenu]\r\nFolder=KvTest.E2E\r\n"
    "[InstalledFiles]\r\nFile1=c:\\kvtest\\e2e\\demo.exe\r\n";

class Medium {
public:
  Medium() : dir_(folder_.Path()) {}
  const std::string& Dir() const { return dir_; }
  void Write(const std::string& name, const std::string& bytes) const {
    kvtest::WriteBytes(dir_ + name, bytes);
  }
  // The program built beside this test, copied into the medium as name.
  std::string Setup(const std::string& name) const {
    const std::string target = dir_ + name;
    EXPECT_TRUE(CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), target.c_str(), FALSE));
    return target;
  }

private:
  kvtest::TempDir folder_;
  std::string dir_;
};

HWND WaitForShell(const uidriver::Process& p) {
  return uidriver::WaitForTopWindow(p.Id(), "Tf_Setup", "", kWindowTimeoutMs);
}

TEST(StartupMode, ChosenByTheExecutablesFileName) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* name;
    bool install;
  } cases[] = {
      {"SETUP.EXE", true},     {"setup.exe", true},     {"Setup.Exe", true},
      {"SETUP1.EXE", false},   {"Uninstal.exe", false}, {"Setup.exe.bak", false},
  };
  const Medium medium;
  medium.Write("Setup.lst", kSetupList);
  medium.Write("install1.log", kInstallLog);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(c.name), "");
    const ShellView shell = ReadShell(WaitForShell(p));
    ASSERT_TRUE(shell.wnd);
    // The taskbar button is the application's, titled "Setup" in either mode.
    const std::vector<HWND> buttons = uidriver::TaskbarWindows(p.Id());
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_NE(buttons[0], shell.wnd);
    EXPECT_EQ(uidriver::Text(buttons[0]), "Setup");
    if (c.install) {
      EXPECT_EQ(shell.caption, "Setup");
      EXPECT_EQ(shell.setupTypeText, "Setup");
      EXPECT_EQ(shell.steps, std::vector<std::string>(std::begin(InstallSteps), std::end(InstallSteps)));
      EXPECT_EQ(shell.selectedStep, 1);
      EXPECT_EQ(shell.progNameText, "Aus Setup.lst");
    } else {
      EXPECT_EQ(shell.caption, "Deinstallation");
      EXPECT_EQ(shell.setupTypeText, "Deinstallation");
      EXPECT_EQ(shell.steps, std::vector<std::string>(std::begin(UninstallSteps), std::end(UninstallSteps)));
      EXPECT_EQ(shell.selectedStep, -1);
      EXPECT_EQ(shell.progNameText, "Aus install1.log");
    }
  }
}

TEST(StartupMissingList, PlainMessageThenEnd) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* name;
    const char* list;
  } cases[] = {
      {"SETUP.EXE", "Setup.lst"},
      {"setup.exe", "Setup.lst"},
      {"SETUP1.EXE", "install1.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Medium medium;
    // The other mode's list file does not count.
    medium.Write(std::string(c.list) == "Setup.lst" ? "install1.log" : "Setup.lst", kSetupList);
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(c.name), "");
    HWND box = uidriver::WaitForDialog(p.Id(), kWindowTimeoutMs);
    ASSERT_TRUE(box);
    const uidriver::DialogView view = uidriver::ReadDialog(box);
    EXPECT_EQ(view.title, "Setup");
    EXPECT_EQ(view.text, std::string("Datei ") + c.list + " nicht gefunden: " + medium.Dir() + c.list);
    EXPECT_FALSE(view.hasIcon);
    EXPECT_EQ(view.buttons, std::vector<std::string>{"OK"});
    const HWND shell = uidriver::FindTopWindow(p.Id(), "Tf_Setup");
    EXPECT_FALSE(shell && uidriver::IsVisible(shell));
    if (std::string(c.name) == "SETUP.EXE") testsupport::SaveShot(box, "missing-list");
    uidriver::PressDialogButton(box, "OK");
    EXPECT_TRUE(p.WaitForExit(5000));
    EXPECT_EQ(p.ExitCode(), 3u);
  }
}

TEST(StartupUnreadableList, PlainMessageThenEndAsForAMissingOne) {
  const uidriver::ScreenLock screen;
  // A list without [StartMenu]: read on defaults, it would create this key.
  const char kDefaultKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Unbenannt";
  struct Case {
    const char* name;
    const char* list;
  } cases[] = {
      {"SETUP.EXE", "Setup.lst"},
      {"Uninstal.exe", "install1.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDefaultKey);
    const Medium medium;
    medium.Write(c.list, "[General]\r\nName=Unlesbar\r\n");
    const std::string list = medium.Dir() + c.list;
    // Held by another program that shares it with nobody.
    const kv::FileHandle held(CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(c.name), "");
    HWND box = uidriver::WaitForDialog(p.Id(), kWindowTimeoutMs);
    ASSERT_TRUE(box);
    const uidriver::DialogView view = uidriver::ReadDialog(box);
    EXPECT_EQ(view.title, "Setup");
    EXPECT_EQ(view.text, std::string("Datei ") + c.list + " kann nicht gelesen werden: " + list);
    EXPECT_FALSE(view.hasIcon);
    EXPECT_EQ(view.buttons, std::vector<std::string>{"OK"});
    uidriver::PressDialogButton(box, "OK");
    EXPECT_TRUE(p.WaitForExit(5000));
    EXPECT_EQ(p.ExitCode(), 3u);
    kv::RegKey key;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDefaultKey, 0, KEY_READ, key.Receive());
    if (opened != ERROR_SUCCESS) key.Release();  // undefined on failure
    EXPECT_NE(opened, ERROR_SUCCESS) << "the run went on with the defaults";
  }
}

// Automatic mode never shows the shell window; the wizard lies off-screen
// and the run goes on to its end by itself.
void ExpectMode(const uidriver::Process& p, bool automatic) {
  if (automatic) {
    const HWND wizard = uidriver::WaitForTopWindow(p.Id(), "Tf_Aktion", "", kWindowTimeoutMs);
    ASSERT_TRUE(wizard);
    EXPECT_GE(uidriver::ScreenRect(wizard).left, 8000);
    const HWND shell = uidriver::FindTopWindow(p.Id(), "Tf_Setup");
    EXPECT_FALSE(shell && uidriver::IsVisible(shell));
    EXPECT_TRUE(p.WaitForExit(kWindowTimeoutMs));
    EXPECT_EQ(p.ExitCode(), 0u);
    return;
  }
  ASSERT_TRUE(WaitForShell(p));
  EXPECT_TRUE(uidriver::WaitForTopWindow(p.Id(), "Tf_Aktion", "", kWindowTimeoutMs));
  Sleep(2400);  // past the automatic sequence's timer: the wizard waits on its first page
  EXPECT_TRUE(p.Running());
  EXPECT_TRUE(uidriver::IsVisible(uidriver::FindTopWindow(p.Id(), "Tf_Setup")));
}

TEST(StartupAutomaticMode, OnlySlashSAsFirstArgument) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* arguments;
    bool automatic;
  } cases[] = {
      {"/S", true},          {"/s", true},   {"x /s", false},
      {"-s", false},         {"/silent", false}, {"", false},
  };
  const Medium medium;
  medium.Write("Setup.lst", kSetupList);
  medium.Write("Vertrag.Txt", "Vertrag\r\n");
  const std::string setup = medium.Setup("SETUP.EXE");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("arguments: ") + c.arguments);
    ExpectMode(uidriver::Process::Launch(setup, c.arguments), c.automatic);
  }
}

TEST(StartupShell, PlacementCaptionColoursAndScreenshots) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* name;
    const char* list;
    const char* listBytes;
    std::uint32_t captionColour;
    std::uint32_t otherColour;
  } cases[] = {
      {"SETUP.EXE", "Setup.lst", kSetupList, kLime, kRed},
      {"Uninstal.exe", "install1.log", kInstallLog, kRed, kLime},
  };
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Medium medium;
    medium.Write(c.list, c.listBytes);
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(c.name), "");
    HWND shell = WaitForShell(p);
    ASSERT_TRUE(shell);
    const RECT r = uidriver::ScreenRect(shell);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom - r.top, work.bottom - 3);
    const LONG style = uidriver::Style(shell);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);

    const ShellView view = ReadShell(shell);
    // The step stays marked while the tree has no focus.
    EXPECT_TRUE(uidriver::Style(uidriver::FindChild(shell, "SysTreeView32")) & TVS_SHOWSELALWAYS);
    {
      const uidriver::OnTop top(shell);
      const uidriver::Image caption = uidriver::CaptureRect(uidriver::ScreenRect(view.setupType));
      EXPECT_GT(testsupport::CountColour(caption, c.captionColour), 20);
      EXPECT_EQ(testsupport::CountColour(caption, c.otherColour), 0);
      const uidriver::Image name = uidriver::CaptureRect(uidriver::ScreenRect(view.progName));
      EXPECT_GT(testsupport::CountColour(name, 0xFFFFFF), 20);  // white on the gradient
    }
    testsupport::SaveShot(shell, std::string("shell-") + c.name);
  }
}

TEST(StartupShell, SystemPanelNamesTheWindowsVersion) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* wineVersion;
    const char* exe;  // one name per version: Wine sets versions per executable name
    const char* expected;
  } cases[] = {
      {"win95", "KvVer95.exe", "Windows 95"},      {"win98", "KvVer98.exe", "Windows 98SE"},
      {"nt40", "KvVerNT.exe", "Windows NT"},       {"win2k", "KvVer2k.exe", "Windows 2000"},
      {"winxp", "KvVerXP.exe", "Windows XP"},      {"vista", "KvVerVi.exe", "Windows Vista"},
  };
  const Medium medium;
  medium.Write("install1.log", kInstallLog);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wineVersion);
    wine_test::SetReportedVersion(c.exe, c.wineVersion);
    {
      const uidriver::Process p = uidriver::Process::Launch(medium.Setup(c.exe), "");
      const ShellView shell = ReadShell(WaitForShell(p));
      EXPECT_EQ(shell.system, c.expected);
    }
    wine_test::SetReportedVersion(c.exe, "");
  }
}

std::wstring Widen(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                                           &wide[0], static_cast<int>(wide.size()))));
  return wide;
}

// A program started by its full wide path, as Explorer starts one from a
// folder whose name the ANSI code page lacks; ended when the object ends.
class WideLaunch {
public:
  explicit WideLaunch(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring directory = exe.substr(0, exe.rfind(L'\\') + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               directory.c_str(), &startup, &info));
    process_.Reset(info.hProcess);
    const kv::KernelHandle thread(info.hThread);
    id_ = info.dwProcessId;
  }
  ~WideLaunch() {
    if (!process_) return;
    TerminateProcess(process_.Get(), 0);
    WaitForSingleObject(process_.Get(), 5000);
  }
  WideLaunch(const WideLaunch&) = delete;
  WideLaunch& operator=(const WideLaunch&) = delete;
  DWORD Id() const { return id_; }

private:
  kv::KernelHandle process_;
  DWORD id_ = 0;
};

TEST(StartupProgramFolder, NameOutsideTheCodePageRunsFromItsShortForm) {
  const uidriver::ScreenLock screen;
  const Medium medium;
  medium.Write("Setup.lst", kSetupList);
  // "Medium Łódź": code page 1252 has ó but neither Ł nor ź. Its best fit,
  // "Medium Lódz", names nothing, and neither folder may appear in the profile.
  const std::wstring folder = Widen(medium.Dir()) + L"Medium \u0141\u00F3d\u017A\\";
  const std::string strayFolder = "C:\\users\\tester\\Medium L\xF3" "dz";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CopyFileW(Widen(GetAppDir() + "SETUP.EXE").c_str(), (folder + L"SETUP.EXE").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(Widen(medium.Dir() + "Setup.lst").c_str(), (folder + L"Setup.lst").c_str(), FALSE));
  {
    const WideLaunch setup(folder + L"SETUP.EXE");
    const ShellView shell = ReadShell(uidriver::WaitForTopWindow(setup.Id(), "Tf_Setup", "", kWindowTimeoutMs));
    EXPECT_EQ(shell.progNameText, "Aus Setup.lst");  // the list was found and read
    EXPECT_FALSE(uidriver::FindTopWindow(setup.Id(), "#32770"));
    EXPECT_FALSE(DirectoryExists(strayFolder));
  }
  EXPECT_EQ(GetFileAttributesW((folder + L"IniTest").c_str()), INVALID_FILE_ATTRIBUTES);
  RemoveDirectoryA(strayFolder.c_str());
  for (const wchar_t* name : {L"SETUP.EXE", L"Setup.lst"}) DeleteFileW((folder + name).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
