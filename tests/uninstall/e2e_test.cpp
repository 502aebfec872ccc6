// The uninstaller end to end: a hand-made installation (files, install log,
// uninstall registry entry, program group and shortcuts) removed by a copy of
// the program started as Uninstal.exe from the install directory, and driven
// through both questions with the UI driver, as a user would.
#include "engine/install_log.h"
#include "engine/shared_file.h"
#include "engine/shell_link.h"
#include "system/ascii_case.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/os_error.h"
#include "system/registry.h"
#include "tests/startup/shell_view.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"
#include "uninstall/listed_files.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
const char kEntry[] = "KvTest.E2E.Uninstall";
const char kGroup[] = "KvTest E2E Gruppe";
const char kName[] = "KvTest E2E";
std::string UninstallKey(const std::string& entry) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + entry;
}
const std::string kUninstallKey = UninstallKey(kEntry);

bool KeyExists(const std::string& key) {
  kv::RegKey k;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

std::set<std::string> Scripts() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::set<std::string> found;
  WIN32_FIND_DATAA entry;
  kv::FindHandle find(FindFirstFileA((AddBackslash(temp) + "$*.bat").c_str(), &entry));
  if (find) {
    do found.insert(entry.cFileName);
    while (FindNextFileA(find.Get(), &entry));
  }
  return found;
}

std::string AnsiLowerCase(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// What an install of a small product leaves behind, made by hand: two program
// files, one file in the Windows directory, the uninstaller and its log, a
// data folder the user made, the registry entry, the group with two links and
// the desktop and Start-menu links of the current user.
class HandMadeInstall {
public:
  // tampered: the log also lists files outside both folders, which a user of
  // a writable install directory could add.
  explicit HandMadeInstall(bool file1InWindows = false, bool tampered = true)
      : dir_("C:\\kvtest\\Büro Demo"),
        windowsFile_(GetWindowsDir() + "\\kvtest-e2e.ini"),
        group_(AddBackslash(GetSpecialFolder(CSIDL_PROGRAMS)) + kGroup),
        links_{group_ + "\\" + kName + ".LNK", group_ + "\\Programm entfernen.LNK",
               AddBackslash(GetSpecialFolder(CSIDL_STARTMENU)) + kName + ".LNK",
               AddBackslash(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY)) + kName + ".LNK"} {
    DeleteDirTree(dir_);
    ForceDirectories(dir_ + "\\Daten");
    for (const char* file : {"demo.exe", "demo.hlp", "Daten\\kunden.hdb"}) Write(dir_ + "\\" + file);
    Write(windowsFile_);
    CountSharedFile(windowsFile_, false, kEntry, Uninstaller());  // as the install counts a file it placed alone
    Write(Outside());
    EXPECT_TRUE(CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), Uninstaller().c_str(), FALSE));
    // As the installer writes it: lower case, numbered in copy order. A product
    // without program files has its file in the Windows directory first.
    const std::string lower = AnsiLowerCase(dir_);
    std::vector<std::string> files = {lower + "\\demo.exe", lower + "\\demo.hlp", AnsiLowerCase(windowsFile_),
                                      lower + "\\uninstal.exe"};
    if (file1InWindows) std::swap(files[0], files[2]);
    // Entries a user of a writable install directory could add: never deleted.
    if (tampered) {
      files.push_back(AnsiLowerCase(Outside()));
      files.push_back(lower + "\\..\\" + ExtractFileName(Outside()));
    }
    std::string log = "[General]\r\nName=" + std::string(kName) + "\r\n[InstalledFiles]\r\n";
    for (std::size_t i = 0; i < files.size(); ++i) log += "File" + std::to_string(i + 1) + "=" + files[i] + "\r\n";
    log += "[Group]\r\nName=" + std::string(kGroup) + "\r\n[StartMenu]\r\nFolder=" + kEntry +
           "\r\n[BenutzerKonto]\r\nUserName=" + AddBackslash(GetProfilesDirectory()) + GetUserLoginName() + "\r\n";
    kvtest::WriteBytes(dir_ + "\\install1.log", log);
    {
      kv::RegKey key = OpenMachineKey(kUninstallKey, true);
      WriteRegString(key.Get(), "DisplayName", std::string(kGroup) + " deinstalieren");
      WriteRegString(key.Get(), "UninstallString", Uninstaller());
    }
    ForceDirectories(group_);
    for (std::size_t i = 0; i < std::size(links_); ++i)
      CreateShellLink(dir_ + (i == 1 ? "\\Uninstal.exe" : "\\demo.exe"), kName, links_[i], dir_, SW_SHOW);
  }
  ~HandMadeInstall() {
    DeleteDirTree(dir_);
    DeleteFileA(Outside().c_str());
    DeleteFileA(windowsFile_.c_str());
    wine_test::SetSharedCount(windowsFile_, std::nullopt);
    DeleteDirTree(group_);
    for (const std::string& link : links_) DeleteFileA(link.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallKey + "\\" + kRecordsSubkey).c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
  }

  const std::string& Dir() const { return dir_; }
  std::string Uninstaller() const { return dir_ + "\\Uninstal.exe"; }
  std::string Outside() const { return "C:\\kvtest\\draußen.txt"; }

  // What is left of the installation outside its directory.
  std::vector<std::string> LeftOutside() const {
    std::vector<std::string> left;
    if (FileExists(windowsFile_)) left.push_back(windowsFile_);
    if (DirectoryExists(group_)) left.push_back(group_);
    for (const std::string& link : links_)
      if (FileExists(link)) left.push_back(link);
    if (KeyExists(kUninstallKey)) left.push_back(kUninstallKey);
    return left;
  }
  bool AllInPlace() const { return LeftOutside().size() == 1 + 1 + std::size(links_) + 1; }

private:
  static void Write(const std::string& path) { kvtest::WriteBytes(path, "x"); }

  std::string dir_, windowsFile_, group_;
  std::string links_[4];
};

struct Uninstaller {
  uidriver::Process process;
  HWND shell = nullptr;
  HWND window = nullptr;
};

Uninstaller Start(const HandMadeInstall& install) {
  Uninstaller run{uidriver::Process::Launch(install.Uninstaller(), "")};
  run.shell = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Setup", "", kWindowTimeoutMs);
  run.window = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Uninstal", "", kWindowTimeoutMs);
  return run;
}

void Answer(const Uninstaller& run, const char* title, const char* text, const char* button) {
  const HWND box = uidriver::WaitForDialog(run.process.Id(), kWindowTimeoutMs);
  ASSERT_TRUE(box) << text;
  const uidriver::DialogView view = uidriver::ReadDialog(box);
  EXPECT_EQ(view.title, title);
  EXPECT_EQ(view.text, text);
  EXPECT_TRUE(uidriver::PressDialogButton(box, button));
  WaitUntil(kWindowTimeoutMs, [box] { return !IsWindowVisible(box); });
}

TEST(UninstallRun, RemovesEverythingOrKeepsTheDirectoryAsAnswered) {
  const uidriver::ScreenLock screen;
  struct Case {
    const char* what;
    const char* lastAnswer;
    bool directoryGoes;
  };
  const Case cases[] = {
      {"Ja, Dateien löschen", "Ja, Dateien löschen !!", true},
      {"Nein, Dateien nicht löschen", "Nein, Dateien nicht löschen", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const HandMadeInstall install;
    const std::set<std::string> scriptsBefore = Scripts();
    const Uninstaller run = Start(install);
    ASSERT_TRUE(run.window);
    EXPECT_EQ(uidriver::Text(uidriver::FindChild(run.window, "Static", install.Uninstaller())),
              install.Uninstaller());
    if (c.directoryGoes) testsupport::SaveShot(run.window, "uninstall-window");

    const DWORD start = GetTickCount();
    uidriver::Click(uidriver::FindChild(run.window, "Button", "&Weiter >>"));
    Answer(run, "Bestätigung", "Sind Sie sicher, daß Sie das Programm entfernen wollen?", "&Ja");

    const HWND progress = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Progress", "Löschen", kWindowTimeoutMs);
    ASSERT_TRUE(progress);
    EXPECT_FALSE(uidriver::IsVisible(run.window));
    const HWND nach = uidriver::FindChild(progress, "Static", "Nach:");
    EXPECT_FALSE(nach && uidriver::IsVisible(nach));
    if (c.directoryGoes) testsupport::SaveShot(progress, "uninstall-progress");

    const HWND ask = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Ask", "Sicherheitsabfrage!", kWindowTimeoutMs);
    ASSERT_TRUE(ask);
    // The directory as the log spells it (lower case), then the four entries left in it.
    EXPECT_TRUE(uidriver::FindChild(ask, "Static",
                                    "Soll das Programmverzeichnis " + AnsiLowerCase(install.Dir()) +
                                        " vollständig, d.h. mit evtl. von Ihnen angelegten Unterverzeichnissen und "
                                        "Dateien, gelöscht werden?"));
    EXPECT_EQ(SendMessageA(uidriver::FindChild(ask, "ListBox"), LB_GETCOUNT, 0, 0), 5);
    if (c.directoryGoes) testsupport::SaveShot(ask, "uninstall-confirmation");
    uidriver::Click(uidriver::FindChild(ask, "Button", c.lastAnswer));

    Answer(run, "Information", "Das Programm wurde deinstalliert!", "OK");
    ASSERT_TRUE(run.process.WaitForExit(kWindowTimeoutMs));
    // The files a user listed outside are still there, and the run says so.
    EXPECT_EQ(run.process.ExitCode(), 1u);
    std::printf("[ timing ] %s: the run took %lu ms\n", c.what, static_cast<unsigned long>(GetTickCount() - start));

    EXPECT_EQ(install.LeftOutside(), std::vector<std::string>{});
    EXPECT_FALSE(FileExists(install.Dir() + "\\demo.exe"));
    EXPECT_TRUE(FileExists(install.Outside()));
    if (c.directoryGoes) {
      EXPECT_TRUE(WaitUntil(5000, [&] { return !DirectoryExists(install.Dir()); })) << "directory left";
      std::printf("[ timing ] %s: everything gone %lu ms after the start\n", c.what,
                  static_cast<unsigned long>(GetTickCount() - start));
      EXPECT_TRUE(WaitUntil(5000, [&] { return Scripts() == scriptsBefore; })) << "script left";
    } else {
      EXPECT_TRUE(FileExists(install.Uninstaller()));
      EXPECT_TRUE(FileExists(install.Dir() + "\\Daten\\kunden.hdb"));
      EXPECT_EQ(Scripts(), scriptsBefore);
    }
  }
}

TEST(UninstallRun, NoToTheFirstQuestionThenBeendenRemovesNothing) {
  const uidriver::ScreenLock screen;
  const HandMadeInstall install;
  const Uninstaller run = Start(install);
  ASSERT_TRUE(run.window);
  uidriver::Click(uidriver::FindChild(run.window, "Button", "&Weiter >>"));
  Answer(run, "Bestätigung", "Sind Sie sicher, daß Sie das Programm entfernen wollen?", "&Nein");
  EXPECT_TRUE(uidriver::IsVisible(run.window));
  EXPECT_EQ(testsupport::ReadShell(run.shell).selectedStep, 1);

  uidriver::Click(uidriver::FindChild(run.window, "Button", "&Beenden"));
  ASSERT_TRUE(run.process.WaitForExit(kWindowTimeoutMs));
  EXPECT_EQ(run.process.ExitCode(), 2u);
  EXPECT_TRUE(install.AllInPlace());
  EXPECT_TRUE(FileExists(install.Dir() + "\\demo.exe"));
}


// A listed file in use stays, or a user's file in the directory agreed to go:
// the exit code tells a script. A listed file that stays keeps the entry and
// the directory: no directory question, a warning naming the file.
TEST(UninstallRun, AFileInUseStaysAndTheExitCodeSaysSo) {
  const uidriver::ScreenLock screen;
  const std::pair<const char*, bool> cases[] = {{"demo.hlp", true}, {"Daten\\kunden.hdb", false}};
  for (const auto& [file, listed] : cases) {
    SCOPED_TRACE(file);
    const HandMadeInstall install(false, false);
    const std::string inUse = install.Dir() + "\\" + file;
    const kv::FileHandle held(
        CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    const Uninstaller run = Start(install);
    ASSERT_TRUE(run.window);
    uidriver::Click(uidriver::FindChild(run.window, "Button", "&Weiter >>"));
    Answer(run, "Bestätigung", "Sind Sie sicher, daß Sie das Programm entfernen wollen?", "&Ja");
    if (listed) {
      Answer(run, "Warnung", UnfinishedRemovalText({AnsiLowerCase(inUse)}).c_str(), "OK");
    } else {
      const HWND ask = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Ask", "Sicherheitsabfrage!", kWindowTimeoutMs);
      ASSERT_TRUE(ask);
      uidriver::Click(uidriver::FindChild(ask, "Button", "Ja, Dateien löschen !!"));
      Answer(run, "Information", "Das Programm wurde deinstalliert!", "OK");
    }
    ASSERT_TRUE(run.process.WaitForExit(kWindowTimeoutMs));
    EXPECT_EQ(run.process.ExitCode(), 1u);
    EXPECT_TRUE(FileExists(inUse));
    EXPECT_FALSE(FileExists(install.Dir() + "\\demo.exe"));
    if (listed) {
      EXPECT_EQ(install.LeftOutside(), std::vector<std::string>{kUninstallKey});
    }
  }
}

// A log whose File1 names the Windows directory still
// offers the uninstaller's own directory; and a script that cannot be written
// stops the run with the system's text in the error box, without the closing
// message, and ends the program with exit code 1.
TEST(UninstallRun, OwnDirectoryOfferedAndAnUnwritableScriptStopsTheRun) {
  const uidriver::ScreenLock screen;
  const HandMadeInstall install(true);
  char oldTemp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", oldTemp, MAX_PATH);
  SetEnvironmentVariableA("TMP", "C:\\kv-no-such-folder\\");
  const Uninstaller run = Start(install);
  SetEnvironmentVariableA("TMP", oldTemp);
  ASSERT_TRUE(run.window);
  uidriver::Click(uidriver::FindChild(run.window, "Button", "&Weiter >>"));
  Answer(run, "Bestätigung", "Sind Sie sicher, daß Sie das Programm entfernen wollen?", "&Ja");

  const HWND ask = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Ask", "Sicherheitsabfrage!", kWindowTimeoutMs);
  ASSERT_TRUE(ask);
  EXPECT_TRUE(uidriver::FindChild(ask, "Static",
                                  "Soll das Programmverzeichnis " + install.Dir() +
                                      " vollständig, d.h. mit evtl. von Ihnen angelegten Unterverzeichnissen und "
                                      "Dateien, gelöscht werden?"));
  uidriver::Click(uidriver::FindChild(ask, "Button", "Ja, Dateien löschen !!"));

  const HWND box = uidriver::WaitForDialog(run.process.Id(), kWindowTimeoutMs);
  ASSERT_TRUE(box);
  const uidriver::DialogView error = uidriver::ReadDialog(box);
  EXPECT_EQ(error.title, "Setup");
  EXPECT_TRUE(error.hasIcon);
  EXPECT_EQ(error.text, SysErrorMessage(ERROR_DIRECTORY) + ".");  // "Directory name invalid."
  uidriver::PressDialogButton(box, "OK");
  ASSERT_TRUE(run.process.WaitForExit(kWindowTimeoutMs));
  EXPECT_EQ(run.process.ExitCode(), 1u);
  // Emptied up to the uninstaller, which no script removes now.
  EXPECT_TRUE(FileExists(install.Uninstaller()));
  EXPECT_FALSE(FileExists(install.Dir() + "\\install1.log"));
  EXPECT_TRUE(DirectoryExists(GetWindowsDir()));
}


// Of an installation's traces (files, and its entry, group and shortcuts,
// wherever the installer may have put them) those still there.
std::vector<std::string> TracesLeft(std::vector<std::string> traces, const std::string& entry, const std::string& name) {
  traces.push_back("HKLM\\" + UninstallKey(entry));
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) traces.push_back(GetSpecialFolder(csidl) + "\\" + name);
  for (int csidl : {CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
    traces.push_back(GetSpecialFolder(csidl) + "\\" + name + ".LNK");
  std::vector<std::string> found;
  for (const std::string& t : traces) {
    const bool key = t.compare(0, 5, "HKLM\\") == 0;
    if (key ? KeyExists(t.substr(5)) : GetFileAttributesA(t.c_str()) != INVALID_FILE_ATTRIBUTES) found.push_back(t);
  }
  return found;
}

// A file of the Windows directory gone with its use count: a count an earlier
// run or row left would keep the file at the uninstall.
void ForgetSharedFile(const std::string& path) {
  DeleteFileA(path.c_str());
  wine_test::SetSharedCount(path, std::nullopt);
}

// Removes an installation through the uninstall window, answering as a user
// who wants everything gone.
void RemoveThroughTheWindow(const std::string& uninstaller) {
  const Uninstaller run{uidriver::Process::Launch(uninstaller, "")};
  const HWND window = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Uninstal", "", kWindowTimeoutMs);
  ASSERT_TRUE(window);
  uidriver::Click(uidriver::FindChild(window, "Button", "&Weiter >>"));
  Answer(run, "Bestätigung", "Sind Sie sicher, daß Sie das Programm entfernen wollen?", "&Ja");
  const HWND ask = uidriver::WaitForTopWindow(run.process.Id(), "Tf_Ask", "Sicherheitsabfrage!", kWindowTimeoutMs);
  ASSERT_TRUE(ask);
  uidriver::Click(uidriver::FindChild(ask, "Button", "Ja, Dateien löschen !!"));
  Answer(run, "Information", "Das Programm wurde deinstalliert!", "OK");
  ASSERT_TRUE(run.process.WaitForExit(kWindowTimeoutMs));
  EXPECT_EQ(run.process.ExitCode(), 0u);
}

// A real installation, made by SETUP.EXE with "/s" from a small medium whose
// list spells the directory in one of the ways a vendor or an administrator
// may, then removed by its Uninstal.exe through the window and with "/s":
// afterwards nothing of it is left, wherever the installer put the group and the
// shortcuts (under Wine: the shell's folders of all users, with no
// "Startmenü" folder in the profile). Before the removal with "/s" the
// product is updated from a version that shipped one file more, in a
// folder of its own: that file and its folder go too.
TEST(UninstallRun, RealInstallThenUninstallLeavesNothing) {
  const uidriver::ScreenLock screen;
  const kvtest::TempDir medium;
  const std::string installDir = "C:\\kvtest\\Rund Büro";
  const std::string windowsFile = GetWindowsDir() + "\\KVRUND.INI";
  ForceDirectories(medium / "Alt");
  for (const char* file : {"Vertrag.Txt", "RUND.EXE", "RUND.HLP", "KVRUND.INI", "Alt\\ALT.TXT"})
    kvtest::WriteBytes(medium / file, "x");
  ASSERT_TRUE(CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), (medium / "SETUP.EXE").c_str(), FALSE));
  const auto left = [&] { return TracesLeft({installDir, windowsFile}, "KvTest.RoundTrip", "KvTest Rund"); };
  const auto install = [&](const std::string& spelling, const std::string& programFiles) {
    kvtest::WriteBytes(medium / "Setup.lst",
                       "[General]\r\nName=KvTest Rund\r\ndefaultPath=" + spelling +
                           "\r\n[StartMenu]\r\nFolder=KvTest.RoundTrip\r\n[Group]\r\nName=KvTest Rund\r\n"
                           "[programfiles]\r\n" + programFiles + "[Windows]\r\n1=KVRUND.INI\r\n"
                           "[Items]\r\nRUND.EXE=KvTest Rund\r\nUninstal.exe=Programm entfernen\r\n");
    const uidriver::Process setup = uidriver::Process::Launch(medium / "SETUP.EXE", "/s");
    ASSERT_TRUE(setup.WaitForExit(60000));
    ASSERT_EQ(setup.ExitCode(), 0u);
  };
  const char* const spellings[] = {"C:\\kvtest\\Rund Büro", "C:/kvtest/Rund Büro", "C:\\kvtest\\\\Rund Büro. \\"};
  for (const char* spelling : spellings) {
    for (const bool unattended : {false, true}) {
      SCOPED_TRACE(std::string(spelling) + (unattended ? ", updated, /s" : ", the window"));
      // A previous installation's entry would name the directory instead of the list.
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey("KvTest.RoundTrip").c_str());
      DeleteDirTree(installDir);
      ForgetSharedFile(windowsFile);
      if (unattended) install(spelling, "1=RUND.EXE\r\n2=Alt\\ALT.TXT\r\n3=RUND.HLP\r\n");
      install(spelling, "1=RUND.EXE\r\n2=RUND.HLP\r\n");
      ASSERT_TRUE(FileExists(installDir + "\\Uninstal.exe"));
      EXPECT_GE(left().size(), 6u) << "directory, Windows file, entry, group, desktop and Start-menu shortcut";

      const DWORD start = GetTickCount();
      if (unattended) {
        const uidriver::Process run = uidriver::Process::Launch(installDir + "\\Uninstal.exe", "/s", 30000);
        ASSERT_TRUE(run.WaitForExit(0));
        EXPECT_EQ(run.ExitCode(), 0u);
      } else {
        RemoveThroughTheWindow(installDir + "\\Uninstal.exe");
      }
      EXPECT_TRUE(WaitUntil(5000, [&] { return left().empty(); })) << testing::PrintToString(left());
      std::printf("[ timing ] uninstall of the installed medium: %lu ms\n",
                  static_cast<unsigned long>(GetTickCount() - start));
      for (const std::string& t : left()) DeleteDirTree(t);
    }
  }
}

// The sample medium installed with "SETUP.EXE /s" and removed with
// "Uninstal.exe /s": no window, nobody waited for, the user's files kept,
// those in a sub-folder too (the native table has one at the top).
TEST(UnattendedUninstall, RemovesTheInstallationAndKeepsTheUsersFiles) {
  const uidriver::ScreenLock screen;
  const std::string dir = "C:\\Programme\\Demo Manager";
  const auto left = [] { return TracesLeft({GetWindowsDir() + "\\DEMO.INI"}, "DemoManager", "Demo Manager"); };
  enum Change { kLogDeleted, kLogEmptied, kLogWithoutFiles, kUsersFile, kHeldOpen, kNone };
  const struct {
    const char* arguments;
    Change change;
    const char* file;
    DWORD exitCode;
    std::vector<std::string> inDir;  // once the self-removal script has ended
  } cases[] = {{"/s", kLogDeleted, "INSTALL1.LOG", 3,
                {"Beispiel.HDB", "DEMO.EXE", "DEMO.HLP", "Liesmich.txt", "Uninstal.exe"}},
               // A log that lists nothing is no log.
               {"/s", kLogEmptied, "INSTALL1.LOG", 3,
                {"Beispiel.HDB", "DEMO.EXE", "DEMO.HLP", "INSTALL1.LOG", "Liesmich.txt", "Uninstal.exe"}},
               {"/s", kLogWithoutFiles, "INSTALL1.LOG", 3,
                {"Beispiel.HDB", "DEMO.EXE", "DEMO.HLP", "INSTALL1.LOG", "Liesmich.txt", "Uninstal.exe"}},
               {"/S extra", kUsersFile, "Daten\\Notizen.txt", 0, {"Daten"}},
               // What stays keeps the entry, the uninstaller and the log to finish with.
               {"/s", kHeldOpen, "DEMO.HLP", 1, {"DEMO.HLP", "INSTALL1.LOG", "Uninstal.exe"}},
               {"/s", kNone, "", 0, {}}};  // last: it leaves nothing behind
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.change));
    DeleteDirTree(dir);
    ForgetSharedFile(GetWindowsDir() + "\\DEMO.INI");
    ASSERT_TRUE(uidriver::Process::Launch(KV_SAMPLE_MEDIUM "\\SETUP.EXE", "/s").WaitForExit(60000));
    ASSERT_EQ(left().size(), 5u) << "Windows file, entry, group, desktop and Start-menu shortcut";
    const std::string file = dir + "\\" + c.file;
    if (c.change == kLogDeleted) DeleteFileA(file.c_str());
    if (c.change == kLogEmptied) kvtest::WriteBytes(file, "");
    if (c.change == kLogWithoutFiles)
      kvtest::WriteBytes(file, "[General]\r\nName=Demo Manager\r\n[Group]\r\nName=Demo Manager\r\n");
    if (c.change == kUsersFile) {
      ForceDirectories(ExtractFilePath(file));
      kvtest::WriteBytes(file, "meine Notizen");
    }
    kv::FileHandle held(c.change != kHeldOpen ? INVALID_HANDLE_VALUE
                                              : CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                            OPEN_EXISTING, 0, nullptr));
    const std::set<std::string> scriptsBefore = Scripts();
    const DWORD start = GetTickCount();
    const uidriver::Process run = uidriver::Process::Launch(dir + "\\Uninstal.exe", c.arguments, 30000);
    ASSERT_TRUE(run.WaitForExit(0)) << "the run waits";
    std::printf("[ timing ] Uninstal.exe %s, %s: %lu ms\n", c.arguments, *c.file ? c.file : "plain install",
                GetTickCount() - start);
    EXPECT_EQ(run.ExitCode(), c.exitCode);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Scripts() == scriptsBefore; })) << "script left running";
    std::vector<std::string> inDir;
    for (const DirEntry& entry : FindEntries(dir + "\\*")) inDir.push_back(ExtractFileName(entry.path));
    std::sort(inDir.begin(), inDir.end());
    EXPECT_EQ(inDir, c.inDir);
    EXPECT_EQ(DirectoryExists(dir), !c.inDir.empty());
    const std::size_t kept = c.exitCode == 3 ? 5 : c.change == kHeldOpen ? 1 : 0;  // the entry alone for a file in use
    EXPECT_EQ(left().size(), kept) << testing::PrintToString(left());
  }
  DeleteDirTree(dir);
}

// Another product's counted DEMO.INI through the sample's install, a partial
// uninstall (a file held open) of a log a user added another product's file
// to, the kept uninstaller run again, a re-install and two uninstalls (the
// second by a copy kept from before): each install's count is released once.
TEST(UnattendedUninstall, ReleasesOnlyTheCountsItsInstallTook) {
  const uidriver::ScreenLock screen;
  const std::string dir = "C:\\Programme\\Demo Manager\\", kept = "C:\\kvtest\\Kopie\\";
  const std::string ini = GetWindowsDir() + "\\DEMO.INI", other = GetWindowsDir() + "\\system32\\kv-andere.dll";
  const auto run = [](const std::string& program) {
    const uidriver::Process p = uidriver::Process::Launch(program, "/s");
    return p.WaitForExit(60000) ? p.ExitCode() : 99u;
  };
  const auto copy = [](const std::string& from, const std::string& to) {
    ForceDirectories(to);
    for (const char* file : {"Uninstal.exe", "INSTALL1.LOG"}) CopyFileA((from + file).c_str(), (to + file).c_str(), FALSE);
  };
  DeleteDirTree(dir);
  for (const std::string& file : {ini, other}) {
    kvtest::WriteBytes(file, "andere");
    wine_test::SetSharedCount(file, 1);
  }
  ASSERT_EQ(run(KV_SAMPLE_MEDIUM "\\SETUP.EXE"), 0u);
  EXPECT_EQ(wine_test::SharedCount(ini), 2u);
  WritePrivateProfileStringA("InstalledFiles", "File7", AsciiLowerCase(other).c_str(), (dir + "INSTALL1.LOG").c_str());
  {
    const kv::FileHandle held = wine_test::HoldOpen(dir + "DEMO.HLP");
    EXPECT_EQ(run(dir + "Uninstal.exe"), 1u);
  }
  EXPECT_EQ(wine_test::SharedCount(ini), 1u);
  EXPECT_EQ(ReadInstalledFiles(dir + "INSTALL1.LOG"), std::vector<std::string>{"c:\\programme\\demo manager\\demo.hlp"});
  EXPECT_TRUE(KeyExists(UninstallKey("DemoManager")));
  EXPECT_EQ(run(dir + "Uninstal.exe"), 0u);
  EXPECT_TRUE(WaitUntil(5000, [&] { return !DirectoryExists(dir); }));
  EXPECT_FALSE(KeyExists(UninstallKey("DemoManager")));

  ASSERT_EQ(run(KV_SAMPLE_MEDIUM "\\SETUP.EXE"), 0u);
  EXPECT_EQ(wine_test::SharedCount(ini), 2u);
  copy(dir, kept);
  EXPECT_EQ(run(dir + "Uninstal.exe"), 0u);
  EXPECT_TRUE(WaitUntil(5000, [&] { return !DirectoryExists(dir); }));
  copy(kept, dir);
  EXPECT_EQ(run(dir + "Uninstal.exe"), 0u);
  for (const std::string& file : {ini, other}) {
    EXPECT_EQ(wine_test::SharedCount(file), 1u) << file;
    EXPECT_TRUE(FileExists(file)) << file;
    ForgetSharedFile(file);
  }
  WaitUntil(5000, [&] { return !DirectoryExists(dir); });
  DeleteDirTree(kept);
}

}  // namespace
