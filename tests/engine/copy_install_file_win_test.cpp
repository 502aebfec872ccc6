// The copy step under Wine against real files, with its questions shown for
// real and answered from a second thread as a user would.
#include "engine/copy_install_file.h"
#include "engine/compressed_name.h"
#include "engine/ini_file.h"
#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/handles.h"
#include "system/seam.h"
#include "tests/support/answer_dialog.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/uidriver/uidriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <optional>

namespace {

class FakePage : public CopyPage {
public:
  void ShowFiles(const std::string& from, const std::string& to) override {
    shownFrom = from;
    shownTo = to;
  }
  void DrawNow() override { drawnTo = shownTo; }
  int Position() const override { return position; }

  int position = 0;
  std::string shownFrom, shownTo, drawnTo;
};

std::string Packed(const std::string& text) {
  const std::vector<std::uint8_t> packed = hzpack::PackBytes(std::vector<std::uint8_t>(text.begin(), text.end()));
  return std::string(packed.begin(), packed.end());
}

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

bool ReadOnly(const std::string& path) { return (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0; }

using Answer = std::function<void(HWND)>;
using wine_test::Press;

Answer Key(WPARAM key) {
  return [key](HWND dialog) {
    HWND focused = ::GetDlgItem(dialog, uidriver::ReadDialog(dialog).defaultId);
    ::PostMessageA(focused, WM_KEYDOWN, key, 0);
    ::PostMessageA(focused, WM_KEYUP, key, 0);
  };
}

struct SeenDialog {
  uidriver::DialogView view;
  DWORD shownAfterMs;  // since the previous answer (or the start)
};
struct Outcome {
  std::vector<SeenDialog> dialogs;
  int exitCode = -1;  // -1: the step returned
  CopyOutcome result = CopyOutcome::Placed;  // when it returned
};

class CopyStep : public ::testing::Test {
protected:
  kvtest::TempDir dir_;
  const std::string medium_ = dir_.Path() + "Medium\\";
  std::string target_ = dir_.Path() + "Ziel\\";
  FakePage page_;
  std::optional<std::uint32_t> checksum_;  // the medium's, for the next Run
  CopyRun run_{RemoveBackslash(target_), "Demo", "Demo", "Demo"};

  void SetUp() override {
    ASSERT_TRUE(ForceDirectories(medium_));
    ASSERT_TRUE(ForceDirectories(target_));
    SetApplicationTitle("Setup");
    seam::InterceptProgramEnd(true);
  }
  void TearDown() override { seam::InterceptProgramEnd(false); }

  std::string Logged(int number) const {
    char value[2048];
    ::GetPrivateProfileStringA("InstalledFiles", ("File" + std::to_string(number)).c_str(), "(none)", value,
                               sizeof value, (target_ + "INSTALL1.LOG").c_str());
    return value;
  }

  // Runs the step for one file while a second thread answers its dialogs in
  // turn; a dialog beyond the answers given is closed, which ends the program.
  Outcome Run(const std::string& source, const std::string& target, std::vector<Answer> answers) {
    Outcome outcome;
    std::atomic<bool> done{false};
    wine_test::TestThread user([&] {
      std::size_t next = 0;
      DWORD since = ::GetTickCount();
      while (!done) {
        HWND dialog = uidriver::WaitForDialog(::GetCurrentProcessId(), 50);
        if (!dialog) continue;
        outcome.dialogs.push_back({uidriver::ReadDialog(dialog), ::GetTickCount() - since});
        if (next < answers.size())
          answers[next++](dialog);
        else
          ::PostMessageA(dialog, WM_CLOSE, 0, 0);
        since = ::GetTickCount();
        while (::IsWindow(dialog)) ::Sleep(10);
      }
    });
    ++page_.position;
    try {
      outcome.result = CopyInstallFile(page_, run_, source, target, medium_, target_, checksum_);
    } catch (const seam::ProgramEnded& e) {
      outcome.exitCode = e.code;
    } catch (...) {
      done = true;
      throw;
    }
    done = true;
    user.Join();
    return outcome;
  }
};

TEST_F(CopyStep, EveryKindOfFileIsPlacedShownAndLogged) {
  const struct {
    const char* source;
    const char* target;
    std::string bytes;
    const char* installedName;
    std::string installedBytes;
  } cases[] = {
      {"DEMO.EX_", "DEMO.EX_", Packed("Programm"), "DEMO.EXE", "Programm"},
      {"Hilfe.Hl_", "Hilfe.Hl_", Packed("Hilfe"), "Hilfe.HLP", "Hilfe"},
      {"DATEN.XY_", "DATEN.XY_", Packed("unbekannt"), "DATEN.XY_", "unbekannt"},  // expanded, name kept
      {"Liesmich.txt", "Liesmich.txt", "Text", "Liesmich.txt", "Text"},
      {"README", "README", "ohne Endung", "README", "ohne Endung"},
      {"NOTIZ.TX_1", "NOTIZ.TX_1", "kopiert", "NOTIZ.TXT", "kopiert"},
      {"vorlagen\\BRIEF.DO_", "vorlagen\\BRIEF.DO_", Packed("Vorlage"), "vorlagen\\BRIEF.DOT", "Vorlage"},
      {"a\\b\\Übung.TXT", "a\\b\\Übung.TXT", "zwei Ebenen", "a\\b\\Übung.TXT", "zwei Ebenen"},
      {"Setup.exe", "Uninstal.exe", "MZ", "Uninstal.exe", "MZ"},
  };
  ForceDirectories(medium_ + "vorlagen");
  ForceDirectories(medium_ + "a\\b");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    kvtest::WriteBytes(medium_ + c.source, c.bytes);
    // The medium's checksum, where it is known here: "Text" has CRC-32 9BB908F9.
    checksum_.reset();
    if (c.bytes == "Text") checksum_ = 0x9BB908F9u;
    const Outcome outcome = Run(c.source, c.target, {});
    EXPECT_TRUE(outcome.dialogs.empty());
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_EQ(outcome.result, CopyOutcome::Placed);
    const std::string installed = target_ + c.installedName;
    EXPECT_EQ(kvtest::ReadText(installed), c.installedBytes);
    // Shown and logged in lower case; umlauts stay as they are.
    EXPECT_EQ(page_.shownFrom, Lower(medium_ + c.source));
    EXPECT_EQ(page_.shownTo, Lower(installed));
    EXPECT_EQ(Logged(page_.position), Lower(installed));
  }
  EXPECT_TRUE(run_.firstEntryWritten);
}

TEST_F(CopyStep, RefusedLogWriteRaisesOnceTheFileIsPlaced) {
  kvtest::WriteBytes(medium_ + "A.TXT", "a");
  run_.installPath = target_ + "fehlt";
  EXPECT_THROW(Run("A.TXT", "A.TXT", {}), EIniFileException);
  EXPECT_EQ(kvtest::ReadText(target_ + "A.TXT"), "a");
}

// A file in folder written until not a byte more fits on its drive; it goes
// with the object.
class FilledDrive {
public:
  explicit FilledDrive(const std::string& folder) : path_(folder + "FUELLUNG") {
    const kv::FileHandle filler(
        ::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string block(65536, 'f');
    DWORD written = 0;
    for (DWORD size = 65536; size > 0; size /= 2)
      while (::WriteFile(filler.Get(), block.data(), size, &written, nullptr) && written == size) continue;
  }
  ~FilledDrive() { ::DeleteFileA(path_.c_str()); }
  FilledDrive(const FilledDrive&) = delete;
  FilledDrive& operator=(const FilledDrive&) = delete;

private:
  std::string path_;
};

// Run by full_disk_test.sh (CopyStep.AFullDiskOnASmallTmpfs), which lends a
// small drive that may be filled (a tmpfs); left out of the test list.
TEST_F(CopyStep, AFullDiskKeepsTheEarlierFileAndRefusesTheLog) {
  const char* drive = std::getenv("KV_FULL_DRIVE");
  if (!drive) GTEST_SKIP() << "no drive to fill";
  target_ = std::string(drive) + "\\Ziel\\";
  ASSERT_TRUE(ForceDirectories(target_));
  run_.installPath = RemoveBackslash(target_);
  const std::string old = "die bisherige Fassung";
  kvtest::WriteBytes(target_ + "GROSS.DAT", old);
  kvtest::WriteBytes(medium_ + "GROSS.DAT", std::string(256 * 1024, 'n'));
  const FilledDrive filled(target_);

  // The copy fails for want of room and is skipped; the log then cannot be
  // written either, though the system answers success.
  EXPECT_THROW(Run("GROSS.DAT", "GROSS.DAT", {Press("&Nein")}), EIniFileException);
  EXPECT_EQ(kvtest::ReadText(target_ + "GROSS.DAT"), old);
  WIN32_FIND_DATAA entry;
  const kv::FindHandle find(::FindFirstFileA((target_ + "~*").c_str(), &entry));
  EXPECT_FALSE(find) << "a temporary file was left: " << entry.cFileName;
}

// A run that began on a drive with room: the entry that no longer fits is
// refused, and the log stays as the entry before left it.
TEST_F(CopyStep, AFullDiskAtALaterFileRefusesTheLog) {
  const char* drive = std::getenv("KV_FULL_DRIVE");
  if (!drive) GTEST_SKIP() << "no drive to fill";
  const std::string dir = std::string(drive) + "\\Spaeter\\";
  ASSERT_TRUE(ForceDirectories(dir));
  CopyRun run{RemoveBackslash(dir), "Demo", "Demo", "Demo"};
  const auto logSize = [&dir] { return kvtest::ReadText(dir + "INSTALL1.LOG").size(); };
  // Entries of some 215 bytes until the log fills most of the drive's
  // 4096-byte page; the next, longer one needs a page more.
  const std::string folder = "c:\\" + std::string(200, 'p') + "\\";
  int number = 0;
  while (logSize() < 4096 - 2 * 215) {
    ++number;
    WriteInstallLogEntry(run, number, folder + std::to_string(number));
  }
  ASSERT_LT(logSize(), 4096u);
  const std::string before = kvtest::ReadText(dir + "INSTALL1.LOG");
  const FilledDrive filled(dir);
  EXPECT_THROW(WriteInstallLogEntry(run, ++number, folder + std::string(600, 'n')), EIniFileException);
  EXPECT_EQ(kvtest::ReadText(dir + "INSTALL1.LOG"), before);
}

TEST_F(CopyStep, ReadOnlySourceArrivesWritable) {
  const std::string source = medium_ + "FEST.DAT";
  kvtest::WriteBytes(source, "fest");
  ::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  Run("FEST.DAT", "FEST.DAT", {});
  EXPECT_TRUE(ReadOnly(source));
  EXPECT_FALSE(ReadOnly(target_ + "FEST.DAT"));
  EXPECT_EQ(kvtest::ReadText(target_ + "FEST.DAT"), "fest");
}

// The texts as the user reads them, character for character.
std::string CopyQuestion(const std::string& destination) {
  return "Die Datei " + destination +
         "\rkonnnte nicht kopiert werden!\r\rErneut versuchen ?\r\r"
         "Stellen Sie bitte sicher, das eine bereits existierende Datei nicht von einem anderen Programm geöffnet "
         "ist oder die zu überschreibende Programmdatei nicht gerade ausgeführt wird!\r\r"
         "Drücken Sie \"Ja\" für erneuten Versuch, \"Nein\" für überspringen, \"Abrechen\" für "
         "Installationsabbruch.";
}
std::string ExpandQuestion(const std::string& source, const std::string& destination) {
  return "Die Datei " + source + "\r\rkonnte nicht nach \r\r" + destination +
         " kopiert werden!\r\rErneut versuchen ?\r\r"
         "Stellen Sie bitte sicher, das eine bereits existierende Datei nicht von einem anderen Programm geöffnet "
         "ist oder die zu überschreibende Programmdatei nicht gerade ausgeführt wird !\r\r"
         "Drücken Sie \"Ja\" für erneuten Versuch, \"Nein\" für überspringen, \"Abrechen\" für "
         "Installationsabbruch.";
}
std::string GiveUp(const std::string& destination) { return "Datei " + destination + " konnte nicht kopiert werden!"; }

// A damaged source: it lacks the medium's checksum, or its coded stream
// ends before its last byte.
enum Obstacle { kMissingSource, kHeldOpen, kReadOnlyTarget, kWrongChecksum, kDataAfterStream };
enum Shown { kQuestion, kGiveUp };
struct FailureCase {
  const char* name;
  const char* source;  // installed under the same name, mapped
  Obstacle obstacle;
  bool removeObstacleFirst;  // before the first answer
  std::vector<Answer> answers;
  std::vector<Shown> dialogs;
  int exitCode;
  const char* targetAfter;  // "old", "new" or "" (none)
  bool givenUp;
  bool logged;
};

class CopyFailure : public CopyStep {
protected:
  const std::string kOld = "alte Fassung";
  const std::string kNew = "neue Fassung";

  void RunCases(const std::vector<FailureCase>& cases) {
    for (const FailureCase& c : cases) {
      SCOPED_TRACE(c.name);
      const std::string source = medium_ + c.source;
      const std::string destination = target_ + MapCompressedName(c.source);
      const bool packed = IsCompressedSource(c.source);
      ::SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(destination.c_str());
      ::DeleteFileA(source.c_str());
      if (c.obstacle != kMissingSource) {
        kvtest::WriteBytes(source, (packed ? Packed(kNew) : kNew) + (c.obstacle == kDataAfterStream ? "\r" : ""));
        kvtest::WriteBytes(destination, kOld);
      }
      checksum_.reset();
      if (c.obstacle == kWrongChecksum) checksum_ = packed ? 0x0BADF00Du : 0x3DCEBADAu ^ 1u;
      kv::FileHandle held;
      if (c.obstacle == kHeldOpen)
        held.Reset(::CreateFileA(destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      if (c.obstacle == kReadOnlyTarget) ::SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);

      std::vector<Answer> answers = c.answers;
      if (c.removeObstacleFirst) {
        answers.front() = [&, first = c.answers.front()](HWND dialog) {
          held.Reset();
          ::SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
          first(dialog);
        };
      }
      const Outcome outcome = Run(c.source, c.source, answers);
      held.Reset();

      ASSERT_EQ(outcome.dialogs.size(), c.dialogs.size());
      EXPECT_EQ(page_.drawnTo, Lower(destination)) << "the page shows the file in question";
      page_.drawnTo.clear();
      for (std::size_t i = 0; i < c.dialogs.size(); ++i) {
        const uidriver::DialogView& view = outcome.dialogs[i].view;
        if (c.dialogs[i] == kQuestion) {
          EXPECT_EQ(view.title, "Warnung");
          EXPECT_TRUE(view.hasIcon);
          EXPECT_EQ(view.text, packed ? ExpandQuestion(source, destination) : CopyQuestion(destination));
          EXPECT_EQ(view.buttons, (std::vector<std::string>{"&Ja", "&Nein", "Abbrechen"}));
          EXPECT_EQ(view.defaultId, IDYES);
        } else {
          EXPECT_EQ(view.title, "Setup");
          EXPECT_FALSE(view.hasIcon);
          EXPECT_EQ(view.text, GiveUp(destination));
          EXPECT_EQ(view.buttons, std::vector<std::string>{"OK"});
          // The expansion is retried after a pause of a second, the copy at once.
          if (packed) {
            EXPECT_GE(outcome.dialogs[i].shownAfterMs, 1000u);
          } else {
            EXPECT_LT(outcome.dialogs[i].shownAfterMs, 900u);
          }
        }
      }
      EXPECT_EQ(outcome.exitCode, c.exitCode);
      const std::string after = c.targetAfter;
      const std::string expectedTarget = after == "old" ? kOld : after == "new" ? kNew : "";
      EXPECT_EQ(kvtest::ReadText(destination), expectedTarget);
      EXPECT_EQ(FileExists(destination), !expectedTarget.empty());
      if (expectedTarget == kNew) {
        EXPECT_FALSE(ReadOnly(destination));
      }
      EXPECT_EQ(outcome.result == CopyOutcome::GivenUp, c.givenUp);
      if (outcome.exitCode == -1 && !c.givenUp) {
        EXPECT_EQ(outcome.result, expectedTarget == kNew ? CopyOutcome::Placed : CopyOutcome::Skipped);
      }
      EXPECT_EQ(Logged(page_.position), c.logged ? Lower(destination) : "(none)");
    }
  }
};

TEST_F(CopyFailure, MissingOrHeldOpenDecidedByTheUser) {
  const Answer closeBox = [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
  RunCases({
      {"missing source, retried, given up", "FEHLT.TXT", kMissingSource, false, {Press("&Ja"), Press("OK")},
       {kQuestion, kGiveUp}, -1, "", true, true},
      {"missing packed source, retried after a second, given up", "FEHLT.EX_", kMissingSource, false,
       {Press("&Ja"), Press("OK")}, {kQuestion, kGiveUp}, -1, "", true, true},
      {"held open, retried once free", "OFFEN.TXT", kHeldOpen, true, {Press("&Ja")}, {kQuestion}, -1, "new", false,
       true},
      {"held open, Enter retries once free", "OFFEN.TXT", kHeldOpen, true, {Key(VK_RETURN)}, {kQuestion}, -1, "new",
       false, true},
      {"held open, skipped", "OFFEN.TXT", kHeldOpen, false, {Press("&Nein")}, {kQuestion}, -1, "old", false, true},
      {"held open, retried while still open, given up", "OFFEN.TXT", kHeldOpen, false, {Press("&Ja"), Press("OK")},
       {kQuestion, kGiveUp}, -1, "old", true, true},
      {"held open, packed, retried once free", "OFFEN.DA_", kHeldOpen, true, {Press("&Ja")}, {kQuestion}, -1, "new",
       false, true},
      {"Abbrechen ends the program", "OFFEN.TXT", kHeldOpen, false, {Press("Abbrechen")}, {kQuestion}, 2, "old",
       false, false},
      {"Escape ends the program", "OFFEN.TXT", kHeldOpen, false, {Key(VK_ESCAPE)}, {kQuestion}, 2, "old", false,
       false},
      {"closing the box ends the program", "FEHLT.EX_", kMissingSource, false, {closeBox}, {kQuestion}, 2, "", false,
       false},
  });
}

TEST_F(CopyFailure, DamagedSourceIsACopyFailure) {
  RunCases({
      {"checksum off by one bit, retried, given up", "DATEN.TXT", kWrongChecksum, false, {Press("&Ja"), Press("OK")},
       {kQuestion, kGiveUp}, -1, "old", true, true},
      {"packed, checksum wrong, skipped", "DATEN.DA_", kWrongChecksum, false, {Press("&Nein")}, {kQuestion}, -1,
       "old", false, true},
      {"packed, a byte after the stream, retried, given up", "DATEN.DA_", kDataAfterStream, false,
       {Press("&Ja"), Press("OK")}, {kQuestion, kGiveUp}, -1, "old", true, true},
  });
}

// Wine run by root writes over read-only files (Unix permissions do not bind
// root); read_only_target_test.sh (CopyFailure.ReadOnlyTargetAsUnprivilegedUser)
// runs this as an unprivileged user, and it is left out of the test list.
TEST_F(CopyFailure, ReadOnlyTargetDecidedByTheUser) {
  const std::string probe = target_ + "probe";
  kvtest::WriteBytes(probe, "");
  ::SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
  const bool enforced =
      !kv::FileHandle(::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ::SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!enforced) GTEST_SKIP() << "this account may write read-only files";
  RunCases({
      {"read-only target, skipped", "FEST.TXT", kReadOnlyTarget, false, {Press("&Nein")}, {kQuestion}, -1, "old",
       false, true},
      {"read-only target, retried while read-only, given up", "FEST.TXT", kReadOnlyTarget, false,
       {Press("&Ja"), Press("OK")}, {kQuestion, kGiveUp}, -1, "old", true, true},
      {"read-only target, retried once writable", "FEST.TXT", kReadOnlyTarget, true, {Press("&Ja")}, {kQuestion}, -1,
       "new", false, true},
  });
}

}  // namespace
