// SETUP.EXE deployed as an administrator deploys it: "/s" and the switches
// after it, with no one at the screen, then removed through the entry's
// QuietUninstallString. Each run must end by itself with the documented code.
#include "engine/program_group.h"
#include "system/helpers.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

constexpr unsigned kRunTimeoutMs = 60000;
const char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvTest.Deploy";
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kProgram[] = "Ein Programm, gepackt ausgeliefert.";

// A medium in a folder of its own: a packed main program and a plain text.
struct Medium {
  kvtest::TempDir folder;
  std::string dir = folder.Path();

  Medium() {
    kvtest::WriteBytes(dir + "Setup.lst",
                       "[General]\r\nName=KvTest Deploy\r\ndefaultPath=" + dir + "Vorgabe\r\nVersion=4.1.7\r\n"
                       "Publisher=Kalvento Test\r\n[StartMenu]\r\nFolder=KvTest.Deploy\r\n[Group]\r\n"
                       "Name=KvTest Deploy\r\n[programfiles]\r\n1=DEMO.EX_\r\n2=Liesmich.txt\r\n"
                       "[Items]\r\nDEMO.EXE=KvTest Deploy\r\nUninstal.exe=Programm entfernen\r\n");
    const std::vector<std::uint8_t> packed =
        hzpack::PackBytes(std::vector<std::uint8_t>(std::begin(kProgram), std::end(kProgram) - 1));
    kvtest::WriteBytes(dir + "DEMO.EX_", std::string(packed.begin(), packed.end()));
    kvtest::WriteBytes(dir + "Liesmich.txt", "Lies mich\r\n");
    kvtest::WriteBytes(dir + "Vertrag.Txt", "Vertrag\r\n");
    EXPECT_TRUE(CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), (dir + "SETUP.EXE").c_str(), FALSE));
  }
  // The exit code, -1 for a run that did not end. No pipe for the output:
  // a Wine process started on the way may hold it open long after.
  int Setup(const std::string& switches) const { return Ended(dir + "SETUP.EXE", "/s " + switches); }
  static int Ended(const std::string& exe, const std::string& arguments) {
    const uidriver::Process p = uidriver::Process::Launch(exe, arguments, 0);
    return p.WaitForExit(kRunTimeoutMs) ? static_cast<int>(p.ExitCode()) : -1;
  }
};

std::string Entry(const char* name) {
  std::string value = "<none>";
  wine_test::ReadRegString(HKEY_LOCAL_MACHINE, kEntryKey, name, value);
  return value;
}

class Deployment : public ::testing::Test {
protected:
  void SetUp() override { RemoveTraces(); }
  void TearDown() override { RemoveTraces(); }
  static void RemoveTraces() {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey);
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) DeleteDirTree(GetSpecialFolder(csidl) + "\\KvTest Deploy");
    for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU})
      ::DeleteFileA((GetSpecialFolder(csidl) + "\\KvTest Deploy.LNK").c_str());
    // A replacement scheduled here must not happen at the prefix's next start.
    kv::RegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS)
      ::RegDeleteValueA(key.Get(), "PendingFileRenameOperations");
  }
};

// Every line the account must hold, in this order.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& lines) {
  std::size_t at = 0;
  for (const std::string& line : lines) {
    const std::size_t found = text.find(line, at);
    EXPECT_NE(found, std::string::npos) << "missing after position " << at << ": " << line << "\n" << text;
    if (found != std::string::npos) at = found + line.size();
  }
}

TEST_F(Deployment, AllFourSwitchesIntoAFolderWithABlankThenTheQuietUninstallString) {
  const Medium medium;
  const std::string target = medium.dir + "Mit Blank\\Demo";
  const std::string log = medium.dir + "ein Protokoll.txt";

  // A typo installs nothing, wherever it stands.
  EXPECT_EQ(medium.Setup("/SUPPRESSMSGBOXES /D=\"" + target + "\""), 2);
  EXPECT_EQ(medium.Setup("/DIR=\"" + target + "\" /ALLUSER"), 2);
  // A directory that cannot be used ends the run; no fallback folder.
  EXPECT_EQ(medium.Setup("/SUPPRESSMSGBOXES /DIR=Relativ\\Demo"), 6);
  EXPECT_FALSE(DirectoryExists(medium.dir + "Mit Blank"));
  EXPECT_FALSE(DirectoryExists(medium.dir + "Vorgabe"));
  EXPECT_EQ(Entry("DisplayName"), "<none>");

  ASSERT_EQ(medium.Setup("/dir=\"" + target + "\" /AllUsers \"/LOG=" + log + "\" /SuppressMsgBoxes"), 0);
  EXPECT_EQ(kvtest::ReadText(target + "\\DEMO.EXE"), kProgram);

  const std::string uninstaller = "\"" + target + "\\Uninstal.exe\"";
  EXPECT_EQ(Entry("UninstallString"), uninstaller);
  EXPECT_EQ(Entry("QuietUninstallString"), uninstaller + " /s");
  EXPECT_EQ(Entry("DisplayVersion"), "4.1.7");
  // All users: the group among everybody's programs.
  const std::string group = GetSpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\KvTest Deploy\\";
  EXPECT_TRUE(FileExists(group + "KvTest Deploy.LNK"));
  EXPECT_FALSE(DirectoryExists(GetSpecialFolder(CSIDL_PROGRAMS) + "\\KvTest Deploy"));

  ExpectInOrder(kvtest::ReadText(log),
                {"Start am ", "/AllUsers", "Produkt: KvTest Deploy", "Version: 4.1.7", "Verzeichnis: " + target,
                 "Datei kopiert: " + target + "\\DEMO.EXE", "Datei kopiert: " + target + "\\Uninstal.exe",
                 "Verknüpfung: " + group + "KvTest Deploy.LNK",
                 "Eintrag in der Softwareliste: HKEY_LOCAL_MACHINE\\" + std::string(kEntryKey),
                 "QuietUninstallString = " + uninstaller + " /s", "EstimatedSize = ", "Ende, Exitcode 0"});

  // The recipe: cmd runs the entry's command as it stands.
  EXPECT_EQ(Medium::Ended(AddBackslash(GetWindowsDir()) + "system32\\cmd.exe", "/c " + Entry("QuietUninstallString")), 0);
  EXPECT_EQ(Entry("DisplayName"), "<none>");
  EXPECT_FALSE(FileExists(group + "KvTest Deploy.LNK"));
  for (int i = 0; i < 30 && DirectoryExists(target); ++i) Sleep(1000);
  EXPECT_FALSE(DirectoryExists(target));
}

TEST_F(Deployment, AFileHeldOpenIsReplacedAtTheNextStart) {
  const Medium medium;
  const std::string target = medium.dir + "Ziel";
  ASSERT_EQ(medium.Setup("/DIR=" + target + " /SUPPRESSMSGBOXES"), 0);
  const std::string log = medium.dir + "zweiter.log";
  const DWORD started = GetTickCount();
  int code = -1;
  {
    const kv::FileHandle held = wine_test::HoldOpen(target + "\\DEMO.EXE");
    ASSERT_TRUE(held);
    code = medium.Setup("/DIR=" + target + " /SUPPRESSMSGBOXES /LOG=" + log);
  }
  EXPECT_EQ(code, 3010);
  // Seconds of retries, not a wait for a click.
  EXPECT_LT(GetTickCount() - started, 20000u);
  ExpectInOrder(kvtest::ReadText(log), {"Datei beim nächsten Start von Windows ersetzt (in Gebrauch): " + target +
                                            "\\DEMO.EXE", "Ende, Exitcode 3010"});
  // Windows finds the held file's name in the list of what it renames at start.
  kv::RegKey key;
  char renames[4096] = {};
  DWORD size = sizeof renames - 2;
  ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, key.Receive());
  ::RegQueryValueExA(key.Get(), "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(renames), &size);
  EXPECT_NE(std::string(renames, size).find(target + "\\DEMO.EXE"), std::string::npos);
}

TEST_F(Deployment, AnIncompleteMediumEndsAtOnceWithoutABox) {
  const struct {
    const char* name;
    const char* missing;
    const char* message;
  } cases[] = {
      {"no agreement", "Vertrag.Txt", "Vertrag.Txt kann nicht geöffnet werden."},
      {"no list", "Setup.lst", "Datei Setup.lst nicht gefunden: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Medium medium;
    ::DeleteFileA((medium.dir + c.missing).c_str());
    const std::string log = medium.dir + "setup.log";
    EXPECT_EQ(medium.Setup("/SUPPRESSMSGBOXES /LOG=" + log), 3);
    ExpectInOrder(kvtest::ReadText(log), {"Meldung ohne Fenster, Antwort \"OK\": ", c.message, "Ende, Exitcode 3"});
    EXPECT_FALSE(DirectoryExists(medium.dir + "Vorgabe"));
    EXPECT_EQ(Entry("DisplayName"), "<none>");
  }
}

}  // namespace
