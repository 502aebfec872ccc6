// SETUP.EXE installing a medium built here, with packed and plain files of
// every kind, by hand and automatically: the files, the install log key by
// key, the shortcuts, the uninstall entry, the outcome messages on three
// Windows versions, the program start and the exit codes.
#include "engine/shared_file.h"
#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "tests/startup/test_support.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"
#include "tools/hzpack/check.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/hzpack/medium_maker.h"

#include <shlobj.h>

#include <map>
#include <sstream>

namespace {

constexpr DWORD kTimeoutMs = 15000;
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KvTest.Install";

// Bytes that pass several of the decoder's tree rebuilds and a block boundary.
std::string Content(const std::string& seed, std::size_t size) {
  std::string bytes;
  std::uint32_t x = 2463534242u;
  for (char c : seed) x = x * 31 + static_cast<unsigned char>(c);
  while (bytes.size() < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    bytes += static_cast<char>('a' + x % 7);
    if (x % 11 == 0) bytes += seed;
  }
  bytes.resize(size);
  return bytes;
}

std::string Packed(const std::string& bytes) {
  const std::vector<std::uint8_t> packed =
      hzpack::PackBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  return std::string(packed.begin(), packed.end());
}

std::string Folder(int csidl) { return GetSpecialFolder(csidl); }

std::string Profile(const std::string& ini, const char* section, const char* key) {
  char value[2048] = {};
  GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, ini.c_str());
  return value;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The medium: every kind of listed file, the program as SETUP.EXE, and
// mainProgram (packed as DEMO.EX_) as the program the install offers to start.
struct Medium {
  kvtest::TempDir folder;
  std::string dir;
  std::string installDir;
  std::map<std::string, std::string> originals;  // installed name -> bytes

  Medium(const std::string& mainProgram, const std::string& extraGeneral) {
    dir = folder.Path();
    installDir = dir + "Ziel Ordner";
    const std::string list =
        "[General]\r\nName=KvTest Demo\r\ndefaultPath=" + installDir + "\r\n" + extraGeneral +
        "[StartMenu]\r\nFolder=KvTest.Install\r\n"
        "[Group]\r\nName=KvTest Install\r\nOld=KvTest Alt;\r\n"
        "[programfiles]\r\n1=DEMO.EX_\r\n2=beispiel.hd_\r\n3=LIESMICH.TXT\r\n4=NOEXT\r\n"
        "5=vorlagen\\BRIEF.DO_\r\n6=DATA.XY_\r\n"
        "[Windows]\r\n1=KVTEST.INI\r\n"
        "[SystemDepended]\r\nWindows Vista=SYS.DL_;\r\nWindows XP=XP.DLL\r\n"
        "[Items]\r\nDEMO.EXE=KvTest Demo\r\nUninstal.exe=Programm entfernen\r\n";
    kvtest::WriteBytes(dir + "Setup.lst", list);
    kvtest::WriteBytes(dir + "Vertrag.Txt", "Vertrag\r\n");
    CreateDirectoryA((dir + "vorlagen").c_str(), nullptr);
    Add("DEMO.EX_", "DEMO.EXE", mainProgram, true);
    Add("beispiel.hd_", "beispiel.HDB", Content("Beispiel", 70000), true);
    Add("LIESMICH.TXT", "LIESMICH.TXT", "Lies mich\r\n", false);
    Add("NOEXT", "NOEXT", "ohne Endung", false);
    Add("vorlagen\\BRIEF.DO_", "vorlagen\\BRIEF.DOT", Content("Brief", 33000), true);
    Add("DATA.XY_", "DATA.XY_", Content("Daten", 5000), true);
    Add("KVTEST.INI", "KVTEST.INI", "[Demo]\r\nA=1\r\n", false);
    Add("SYS.DL_", "SYS.DLL", Content("System", 40000), true);
    kvtest::WriteBytes(dir + "XP.DLL", "nur für Windows XP");
    CopyFileA((GetAppDir() + "SETUP.EXE").c_str(), (dir + "SETUP.EXE").c_str(), FALSE);
    originals["Uninstal.exe"] = kvtest::ReadText(dir + "SETUP.EXE");
  }
  void Add(const std::string& listed, const std::string& installed, const std::string& bytes, bool pack) {
    kvtest::WriteBytes(dir + listed, pack ? Packed(bytes) : bytes);
    if (installed != "KVTEST.INI") originals[installed] = bytes;
  }
  std::string Setup() const { return dir + "SETUP.EXE"; }
  std::string Log() const { return installDir + "\\INSTALL1.LOG"; }
};

void RemoveTraces() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + kRecordsSubkey).c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  const std::string group = Folder(CSIDL_PROGRAMS) + "\\KvTest Install";
  DeleteDirTree(group);
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU}) {
    DeleteFileA((Folder(csidl) + "\\KvTest Demo.LNK").c_str());
  }
  DeleteFileA((AddBackslash(GetWindowsDir()) + "KVTEST.INI").c_str());
}

// Walks the wizard as a user does, with the default directory, and presses
// "&Fertig"; returns the process, with the outcome message up.
HWND WalkToTheEnd(const uidriver::Process& p) {
  const HWND wizard = uidriver::WaitForTopWindow(p.Id(), "Tf_Aktion", "", kTimeoutMs);
  if (!wizard) return nullptr;
  const HWND next = uidriver::Descendants(wizard).end()[-2];
  for (int page = 0; page < 5; ++page) {
    if (page == 2) uidriver::Click(uidriver::FindChild(wizard, "Button", "&Ja, ich akzeptiere die Bedingungen der Lizenzvereinbarung "));
    Sleep(150);
    uidriver::Click(next);
    Sleep(250);
  }
  return uidriver::WaitForDialog(p.Id(), kTimeoutMs);
}

// The Windows version Wine reports to SETUP.EXE, for one scope.
class ReportedVersion {
public:
  explicit ReportedVersion(const char* version) { wine_test::SetReportedVersion("SETUP.EXE", version); }
  ~ReportedVersion() { wine_test::SetReportedVersion("SETUP.EXE", ""); }
  ReportedVersion(const ReportedVersion&) = delete;
  ReportedVersion& operator=(const ReportedVersion&) = delete;
};

class Install : public ::testing::Test {
protected:
  const uidriver::ScreenLock screen_;
  void SetUp() override {
    RemoveTraces();
    wine_test::SetReportedVersion("SETUP.EXE", "");
  }
  void TearDown() override { RemoveTraces(); }
};

TEST_F(Install, ByHandThenAgainAutomatically) {
  const Medium medium(Content("Programm", 50000), "");
  const uidriver::Process p = uidriver::Process::Launch(medium.Setup(), "");
  const HWND done = WalkToTheEnd(p);
  ASSERT_TRUE(done);
  testsupport::SaveShot(done, "install-done-vista");
  EXPECT_EQ(uidriver::ReadDialog(done).text, "Das Programm wurde ordnungsgemäß im Verzeichnis \r\r" +
                                                 medium.installDir + "\r\rinstalliert!\r\r");
  uidriver::PressDialogButton(done, "OK");
  ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 0u);

  const std::string dir = AddBackslash(medium.installDir);
  for (const auto& [name, bytes] : medium.originals) {
    SCOPED_TRACE(name);
    EXPECT_EQ(kvtest::ReadText(dir + name), bytes);
  }
  const std::string windowsIni = AddBackslash(GetWindowsDir()) + "KVTEST.INI";
  EXPECT_TRUE(FileExists(windowsIni));
  EXPECT_FALSE(FileExists(dir + "XP.DLL"));

  // The log, key by key: numbered by the progress position, paths in lower
  // case, the uninstaller last.
  const std::string lowerDir = Lower(dir);
  const std::vector<std::string> files = {
      lowerDir + "demo.exe",    lowerDir + "beispiel.hdb", lowerDir + "liesmich.txt",
      lowerDir + "noext",       lowerDir + "vorlagen\\brief.dot", lowerDir + "data.xy_",
      Lower(windowsIni),        lowerDir + "sys.dll",      lowerDir + "uninstal.exe"};
  EXPECT_TRUE(FileExists(medium.Log()));
  EXPECT_EQ(Profile(medium.Log(), "General", "Name"), "KvTest Demo");
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", ("File" + std::to_string(i + 1)).c_str()), files[i]);
  }
  EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", "File10"), "<none>");
  EXPECT_EQ(Profile(medium.Log(), "Group", "Name"), "KvTest Install");
  EXPECT_EQ(Profile(medium.Log(), "StartMenu", "Folder"), "KvTest.Install");
  EXPECT_EQ(Profile(medium.Log(), "BenutzerKonto", "UserName"),
            AddBackslash(GetProfilesDirectory()) + GetUserLoginName());

  // The group with one shortcut per [Items] line; the first line's shortcut
  // on the desktop and in the Start menu (the shell's, as the profile has no
  // "Startmenü" folder under Wine).
  const std::string group = Folder(CSIDL_PROGRAMS) + "\\KvTest Install\\";
  EXPECT_EQ(GetShellLinkTarget(group + "KvTest Demo.LNK"), dir + "DEMO.EXE");
  EXPECT_EQ(GetShellLinkTarget(group + "Programm entfernen.LNK"), dir + "Uninstal.exe");
  EXPECT_EQ(GetShellLinkTarget(Folder(CSIDL_DESKTOPDIRECTORY) + "\\KvTest Demo.LNK"), dir + "DEMO.EXE");
  EXPECT_EQ(GetShellLinkTarget(Folder(CSIDL_STARTMENU) + "\\KvTest Demo.LNK"), dir + "DEMO.EXE");

  std::string value;
  EXPECT_TRUE(wine_test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", value));
  EXPECT_EQ(value, "KvTest Install deinstalieren");
  EXPECT_TRUE(wine_test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", value));
  EXPECT_EQ(value, "\"" + dir + "Uninstal.exe\"");

  // Again with "/s", over the first: the sample file is now there, so its
  // entry is not copied again, and the log keeps its earlier entry.
  const std::string changedSample = "vom Benutzer geändert";
  kvtest::WriteBytes(dir + "beispiel.HDB", changedSample);
  const uidriver::Process again = uidriver::Process::Launch(medium.Setup(), "/s");
  ASSERT_TRUE(again.WaitForExit(kTimeoutMs));
  EXPECT_EQ(again.ExitCode(), 0u);
  EXPECT_EQ(kvtest::ReadText(dir + "beispiel.HDB"), changedSample);
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", ("File" + std::to_string(i + 1)).c_str()), files[i]);
  }
}

TEST_F(Install, FailuresDecidedByTheUserAndTheExitCodes) {
  struct Case {
    const char* name;
    std::vector<const char*> answers;  // to the retry questions, then to the outcome message
    unsigned exitCode;
    const char* lastLogged;  // the highest entry in the log
  } cases[] = {
      {"skipped", {"&Nein", "OK"}, 0, "File9"},
      {"given up", {"&Ja", "OK", "OK"}, 1, "File9"},
      {"aborted", {"Abbrechen"}, 2, "File2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveTraces();
    Medium medium(Content("Programm", 50000), "");
    DeleteFileA((medium.dir + "LIESMICH.TXT").c_str());  // entry 3 is missing
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(), "");
    HWND box = WalkToTheEnd(p);
    if (c.exitCode == 0 && box) {
      // The copy page as it stands while the retry question waits, the
      // question put aside: both panels name the file; then the question.
      ShowWindow(box, SW_HIDE);
      testsupport::SaveShot(uidriver::FindTopWindow(p.Id(), "Tf_Aktion"), "wizard-copy");
      ShowWindow(box, SW_SHOWNA);
      testsupport::SaveShot(box, "install-retry");
    }
    for (const char* answer : c.answers) {
      ASSERT_TRUE(box);
      uidriver::PressDialogButton(box, answer);
      Sleep(300);
      box = uidriver::WaitForDialog(p.Id(), std::string(answer) == "&Ja" ? 3000 : 1500);
    }
    ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
    EXPECT_EQ(p.ExitCode(), c.exitCode);
    EXPECT_NE(Profile(medium.Log(), "InstalledFiles", c.lastLogged), "<none>");
    const std::string after = "File" + std::to_string(std::stoi(c.lastLogged + 4) + 1);
    EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", after.c_str()), "<none>");
  }
}

// A listed name that leads out of the install directory: another product's
// file there keeps its bytes, the user is told, nothing is logged for it and
// the run ends with exit code 1.
TEST_F(Install, ANameLeavingTheDirectoryIsNeverPlaced) {
  const Medium medium(Content("Programm", 50000), "");
  const std::string name = "..\\KVTEST-FREMD.TXT";
  WritePrivateProfileStringA("programfiles", "7", name.c_str(), (medium.dir + "Setup.lst").c_str());
  // The source beside the medium's folder, so the old run would have found it.
  const std::string source = ExtractFilePath(RemoveBackslash(medium.dir)) + "KVTEST-FREMD.TXT";
  kvtest::WriteBytes(source, "vom Medium");
  kvtest::WriteBytes(medium.dir + "KVTEST-FREMD.TXT", "fremd");
  const uidriver::Process p = uidriver::Process::Launch(medium.Setup(), "/s");
  HWND box = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
  ASSERT_TRUE(box);
  EXPECT_EQ(uidriver::ReadDialog(box).text,
            "Datei " + AddBackslash(medium.installDir) + name + " konnte nicht kopiert werden!");
  uidriver::PressDialogButton(box, "OK");
  Sleep(300);  // the message's box closes before the outcome's opens
  box = uidriver::WaitForDialog(p.Id(), kTimeoutMs);  // the run's outcome: errors
  ASSERT_TRUE(box);
  uidriver::PressDialogButton(box, "OK");
  ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 1u);
  EXPECT_EQ(kvtest::ReadText(medium.dir + "KVTEST-FREMD.TXT"), "fremd");
  EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", "File7"), "<none>");
  EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", "File10"), Lower(AddBackslash(medium.installDir)) + "uninstal.exe");
  DeleteFileA(source.c_str());
}

// A medium as hzpack make writes it, one byte of a packed file changed on
// the way: the check calls it damaged, and SETUP.EXE asks, gives the file up
// and ends with 1, leaving no file of wrong bytes behind.
TEST_F(Install, AMadeMediumWithOneByteChangedIsGivenUp) {
  const kvtest::TempDir dir;
  const std::string product = dir.Path() + "Produkt\\";
  CreateDirectoryA(product.c_str(), nullptr);
  kvtest::WriteBytes(product + "DEMO.EXE", Content("Programm", 20000));
  kvtest::WriteBytes(product + "DATEN.DAT", Content("Daten", 70000));
  kvtest::WriteBytes(dir.Path() + "Vertrag.txt", "Vertrag\r\n");
  hzpack::MakeRequest request;
  request.source = product;
  request.medium = dir.Path() + "Medium";
  request.name = "KvTest.Install";
  request.agreement = dir.Path() + "Vertrag.txt";
  request.path = dir.Path() + "Ziel";
  request.setup = GetAppDir() + "SETUP.EXE";
  hzpack::MakeMedium(request);
  const std::string packed = request.medium + "\\DATEN.DA_";
  std::string bytes = kvtest::ReadText(packed);
  bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
  kvtest::WriteBytes(packed, bytes);

  std::ostringstream findings;
  EXPECT_EQ(hzpack::CheckMedium(request.medium, findings, false), 1);
  EXPECT_NE(findings.str().find("error: DATEN.DA_: damaged: its CRC-32 is "), std::string::npos) << findings.str();

  const uidriver::Process p = uidriver::Process::Launch(request.medium + "\\SETUP.EXE", "/s");
  for (const char* answer : {"&Ja", "OK", "OK"}) {  // retry, the give-up, the outcome
    const HWND box = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
    ASSERT_TRUE(box) << answer;
    uidriver::PressDialogButton(box, answer);
    Sleep(300);
  }
  ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 1u);
  EXPECT_EQ(kvtest::ReadText(request.path + "\\DEMO.EXE"), Content("Programm", 20000));
  EXPECT_FALSE(FileExists(request.path + "\\DATEN.DAT"));
  DeleteDirTree(Folder(CSIDL_PROGRAMS) + "\\KvTest.Install");
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU}) DeleteFileA((Folder(csidl) + "\\KvTest.Install.LNK").c_str());
}

// The sample-file rule asks the disk when the entry's turn comes: an earlier
// entry that did not place the sample database (skipped here) keeps no later
// sample file from being copied.
TEST_F(Install, TheSampleRuleAsksTheDiskAtTheEntrysTurn) {
  const Medium medium(Content("Programm", 50000), "");
  WritePrivateProfileStringA("programfiles", "7", "Beispiel.txt", (medium.dir + "Setup.lst").c_str());
  kvtest::WriteBytes(medium.dir + "Beispiel.txt", "Beispieltext");
  DeleteFileA((medium.dir + "beispiel.hd_").c_str());
  const uidriver::Process p = uidriver::Process::Launch(medium.Setup(), "/s");
  const HWND box = uidriver::WaitForDialog(p.Id(), kTimeoutMs);
  ASSERT_TRUE(box);
  uidriver::PressDialogButton(box, "&Nein");
  ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
  EXPECT_EQ(p.ExitCode(), 0u);
  const std::string dir = AddBackslash(medium.installDir);
  EXPECT_FALSE(FileExists(dir + "beispiel.HDB"));
  EXPECT_EQ(kvtest::ReadText(dir + "Beispiel.txt"), "Beispieltext");
  EXPECT_EQ(Profile(medium.Log(), "InstalledFiles", "File7"), Lower(dir) + "beispiel.txt");
}

// The outcome message for each Windows version, copy errors and mobile mode,
// and the program started by "&Ja" from its own directory. Wine reports the
// version per program name, and SETUP.EXE is the only name that installs, so
// the test runs alone.
TEST_F(Install, OutcomeMessagesByWindowsVersion) {
  struct Case {
    const char* version;
    bool mobile;
    bool errors;
    std::vector<const char*> answers;  // retry answers first, the outcome's last
    std::vector<std::string> buttons;  // of the outcome message
    const char* kind;                  // "success", "hint", "mobile hint", "vista", "errors"
    bool started;
  } cases[] = {
      {"win98", false, false, {"&Ja"}, {"&Ja", "&Nein"}, "success", true},
      {"winxp", false, false, {"&Nein"}, {"&Ja", "&Nein"}, "hint", false},
      {"winxp", true, false, {"&Ja"}, {"&Ja", "&Nein"}, "mobile hint", true},
      {"vista", true, false, {"OK"}, {"OK"}, "vista", false},
      {"vista", false, true, {"&Ja", "OK", "OK"}, {"OK"}, "errors", false},
      {"winxp", true, true, {"&Ja", "OK", "OK"}, {"OK"}, "errors", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.mobile ? " mobile" : "") + (c.errors ? " errors" : ""));
    RemoveTraces();
    const ReportedVersion version(c.version);
    const Medium medium(kvtest::ReadText(GetAppDir() + "started_recorder.exe"),
                        c.mobile ? "MobileOption=1\r\nOnlyMobile=1\r\n" : "");
    if (c.errors) DeleteFileA((medium.dir + "LIESMICH.TXT").c_str());
    const uidriver::Process p = uidriver::Process::Launch(medium.Setup(), "");
    HWND box = WalkToTheEnd(p);
    uidriver::DialogView outcome;
    for (const char* answer : c.answers) {
      ASSERT_TRUE(box);
      outcome = uidriver::ReadDialog(box);
      if (answer == c.answers.back() && std::string(c.kind) == "hint") testsupport::SaveShot(box, "install-done-xp");
      uidriver::PressDialogButton(box, answer);
      Sleep(300);
      box = uidriver::WaitForDialog(p.Id(), std::string(answer) == "&Ja" ? 3000 : 1500);
    }
    ASSERT_TRUE(p.WaitForExit(kTimeoutMs));
    EXPECT_EQ(p.ExitCode(), c.errors ? 1u : 0u);

    const std::string kind = c.kind;
    const std::string shown = "Das Programm wurde ordnungsgemäß im Verzeichnis \r\r" + medium.installDir +
                              "\r\rinstalliert!\r\r";
    const std::string hint = std::string("Falls Sie das Programm für einen anderen Benutzer ohne ") +
                             "Administratorenrechte installieren wollten, müssen Sie diesem Benutzer " +
                             (kind == "mobile hint" ? "" : "evtl. ") +
                             "noch Schreib- und Leserechte für das Installationsverzeichnis verleihen, " +
                             "falls dieser noch nicht hierrüber verfügt.\r\r";
    const std::string question = "Soll das Anwendungsprogramm jetzt gestartet werden?";
    const std::map<std::string, std::string> texts = {
        {"success", shown + question},
        {"hint", shown + hint + question},
        {"mobile hint", shown + hint + question},
        {"vista", shown},
        {"errors", "Bei der Installation des Programmes in das Verzeichnis \r\r" + medium.installDir +
                       "\r\rsind Fehler aufgetreten!\r\rBitte wiederholen Sie die Installation."},
    };
    EXPECT_EQ(outcome.title, "Information");
    EXPECT_EQ(outcome.text, texts.at(kind));
    EXPECT_EQ(outcome.buttons, c.buttons);

    const std::string dir = AddBackslash(medium.installDir);
    for (int i = 0; i < 50 && c.started && !FileExists(dir + "started.txt"); ++i) Sleep(100);
    EXPECT_EQ(FileExists(dir + "started.txt"), c.started);
    if (c.started) {
      EXPECT_EQ(kvtest::ReadText(dir + "started.txt"), medium.installDir);
    }
    // Mobile mode marks the program's INI file and makes no shortcuts.
    EXPECT_EQ(Profile(dir + "DEMO.ini", "Optionen", "MobileModus"), c.mobile ? "1" : "<none>");
    EXPECT_EQ(FileExists(Folder(CSIDL_DESKTOPDIRECTORY) + "\\KvTest Demo.LNK"), !c.mobile);
    EXPECT_EQ(Profile(medium.Log(), "BenutzerKonto", "UserName") == "<none>", c.mobile);
  }
}

}  // namespace
