// The install log written and read through the real profile functions.
#include "engine/ini_file.h"
#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

namespace {

// The name a file carries on disk.
std::string NameOnDisk(const std::string& path) {
  WIN32_FIND_DATAA found;
  const kv::FindHandle find(::FindFirstFileA(path.c_str(), &found));
  return find ? found.cFileName : "";
}

std::string Value(const std::string& log, const char* section, const std::string& key) {
  char buffer[2048];
  ::GetPrivateProfileStringA(section, key.c_str(), "(none)", buffer, sizeof buffer, log.c_str());
  return buffer;
}

class InstallLog : public ::testing::Test {
protected:
  kvtest::TempDir dir_;
  // Typed in mixed case, as a user might.
  const std::string installPath_ = dir_.Path() + "Demo Programm";
  const std::string log_ = installPath_ + "\\Install1.log";
  CopyRun run_{installPath_, "Demo", "Demo Gruppe", "Demo"};

  void SetUp() override { ASSERT_TRUE(::CreateDirectoryA(installPath_.c_str(), nullptr)); }
};

TEST_F(InstallLog, RunWritesItsSectionsInOrderUnderTheUpperCaseName) {
  WriteInstallLogEntry(run_, 1, "c:\\demo programm\\demo.exe");
  WriteInstallLogEntry(run_, 2, "c:\\windows\\demo.ini");
  WriteInstallLogEntry(run_, 4, "c:\\demo programm\\uninstal.exe");  // 3 was a skipped sample file
  WriteInstallLogUserAccount(installPath_, "C:\\users\\All Users");

  EXPECT_EQ(NameOnDisk(log_), "INSTALL1.LOG");
  const std::string text = kvtest::ReadText(log_);
  std::size_t at = 0;
  for (const char* line : {"[General]", "Name=Demo", "[InstalledFiles]", "File1=c:\\demo programm\\demo.exe",
                           "File2=c:\\windows\\demo.ini", "File4=c:\\demo programm\\uninstal.exe", "[Group]",
                           "Name=Demo Gruppe", "[StartMenu]", "Folder=Demo", "[BenutzerKonto]",
                           "UserName=C:\\users\\All Users"}) {
    SCOPED_TRACE(line);
    at = text.find(line, at);
    ASSERT_NE(at, std::string::npos) << text;
  }
  EXPECT_EQ(Value(log_, "InstalledFiles", "File3"), "(none)");
  EXPECT_EQ(ReadInstalledFiles(log_),
            (std::vector<std::string>{"c:\\demo programm\\demo.exe", "c:\\windows\\demo.ini", ""}));
}

TEST_F(InstallLog, SecondInstallUpdatesTheLogInPlace) {
  WriteInstallLogEntry(run_, 1, "c:\\alt\\a.exe");
  WriteInstallLogEntry(run_, 2, "c:\\alt\\b.exe");
  WriteInstallLogEntry(run_, 3, "c:\\alt\\uninstal.exe");

  // [General] Name present but empty in the setup list.
  CopyRun second = StartCopyRun(installPath_, "", "Neue Gruppe", "Demo");
  WriteInstallLogEntry(second, 1, "c:\\neu\\a.exe");
  WriteInstallLogEntry(second, 2, "c:\\neu\\uninstal.exe");

  EXPECT_EQ(Value(log_, "General", "Name"), "Demo");
  EXPECT_EQ(Value(log_, "Group", "Name"), "Neue Gruppe");
  EXPECT_EQ(ReadInstalledFiles(log_),
            (std::vector<std::string>{"c:\\neu\\a.exe", "c:\\neu\\uninstal.exe", "c:\\alt\\uninstal.exe"}));
}

TEST_F(InstallLog, EmptyNameAndEmptyProfileWriteNothingOfTheirs) {
  run_.progName = "";
  WriteInstallLogUserAccount(installPath_, "");
  EXPECT_FALSE(FileExists(log_));
  WriteInstallLogEntry(run_, 1, "c:\\kv\\a.exe");
  EXPECT_EQ(kvtest::ReadText(log_).find("[General]"), std::string::npos);
  EXPECT_EQ(kvtest::ReadText(log_).find("[BenutzerKonto]"), std::string::npos);
}

TEST_F(InstallLog, RefusedWriteRaisesWithTheLogsPath) {
  try {
    run_.installPath += "\\fehlt";
    WriteInstallLogEntry(run_, 1, "c:\\kv\\a.exe");
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("nach ", 0), 0u) << message;
    const std::string end = "\\DEMO PROGRAMM\\FEHLT\\INSTALL1.LOG kann nicht geschrieben werden";
    EXPECT_EQ(message.substr(message.size() - std::min(message.size(), end.size())), end);
  }
}

// Runs after one another into one directory, each entry written by the log
// writer beside a copy of the log that receives every value of every entry
// as the profile functions write them: after each file both hold the same
// bytes. A fresh install; one with another group over the earlier, longer
// log; the same again, where the log already holds every value; one over a
// log left by hand, with a key without a value, an empty one and a comment.
TEST_F(InstallLog, EveryEntryLeavesTheFileAsWritingEveryValueWould) {
  const std::string whole = dir_.Path() + "jeder Wert";
  ASSERT_TRUE(::CreateDirectoryA(whole.c_str(), nullptr));
  struct Entry {
    int number;
    const char* path;
  };
  struct Run {
    const char* progName;
    const char* groupName;
    std::vector<Entry> entries;
    const char* userProfileDir;
  };
  const auto install = [&](const Run& r) {
    SCOPED_TRACE(r.groupName);
    CopyRun run = StartCopyRun(installPath_, r.progName, r.groupName, "Demo");
    bool first = true;
    for (const Entry& e : r.entries) {
      SCOPED_TRACE(e.number);
      WriteInstallLogEntry(run, e.number, e.path);
      for (const IniValue& v : InstallLogEntry(e.number, e.path, first ? r.progName : "", r.groupName, "Demo"))
        WriteIniString(InstallLogPath(whole), v.section, v.key, v.value);
      first = false;
      ASSERT_EQ(kvtest::ReadText(log_), kvtest::ReadText(InstallLogPath(whole)));
    }
    WriteInstallLogUserAccount(installPath_, r.userProfileDir);
    WriteInstallLogUserAccount(whole, r.userProfileDir);
  };
  const std::vector<Entry> again = {{1, "c:\\kv\\demo.exe"}, {2, "c:\\kv\\neu.dll"}, {3, "c:\\kv\\uninstal.exe"}};
  install({"Demo", "Demo Gruppe",
           {{1, "c:\\kv\\demo.exe"}, {2, "c:\\kv\\a.dll"}, {4, "c:\\kv\\b.dll"}, {5, "c:\\kv\\uninstal.exe"}},
           "C:\\users\\kv"});
  install({"Demo", "Neue Gruppe", again, ""});
  install({"", "Neue Gruppe", again, ""});
  EXPECT_EQ(ReadInstalledFiles(log_), (std::vector<std::string>{"c:\\kv\\demo.exe", "c:\\kv\\neu.dll",
                                                                "c:\\kv\\uninstal.exe", "c:\\kv\\b.dll",
                                                                "c:\\kv\\uninstal.exe"}));
  EXPECT_EQ(Value(log_, "Group", "Name"), "Neue Gruppe");

  const std::string byHand = "[InstalledFiles]\r\nFile2\r\n; alt\r\nFile1=\r\n[Group]\r\nName=Neue Gruppe\r\n";
  kvtest::WriteBytes(log_, byHand);
  kvtest::WriteBytes(InstallLogPath(whole), byHand);
  install({"Demo", "Neue Gruppe", again, ""});
  EXPECT_EQ(ReadInstalledFiles(log_),
            (std::vector<std::string>{"c:\\kv\\demo.exe", "c:\\kv\\neu.dll", "c:\\kv\\uninstal.exe"}));
}

// A re-install over an earlier log of a version that shipped one file more,
// the log saved by hand in the code page, in UTF-8 with a byte-order mark and
// in UTF-16: the profile functions write each as they keep it, the run judges
// what they wrote by their own reading, and the file the new version no
// longer ships stays listed for the uninstaller.
TEST_F(InstallLog, AReinstallOverALogInAnyEncodingTheProfileFunctionsKeep) {
  const std::string earlier =
      "[General]\r\nName=Demo\r\n[InstalledFiles]\r\nFile1=c:\\kv\\demo.exe\r\nFile2=c:\\kv\\beispiel.txt\r\n"
      "File3=c:\\kv\\uninstal.exe\r\n[Group]\r\nName=Demo Gruppe\r\n[StartMenu]\r\nFolder=Demo\r\n";
  const auto utf16 = [](const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  };
  const struct {
    const char* name;
    std::string bytes;
  } logs[] = {{"code page", earlier}, {"UTF-8", "\xEF\xBB\xBF" + earlier}, {"UTF-16", utf16(earlier)}};
  for (const auto& l : logs) {
    SCOPED_TRACE(l.name);
    kvtest::WriteBytes(log_, l.bytes);
    CopyRun run = StartCopyRun(installPath_, "Demo", "Neue Gruppe f\xFCr B\xFCro", "Demo");
    EXPECT_NO_THROW({
      WriteInstallLogEntry(run, 1, "c:\\kv\\demo.exe");
      WriteInstallLogEntry(run, 2, "c:\\kv\\uninstal.exe");
      KeepEarlierLogEntries(run);
      WriteInstallLogUserAccount(installPath_, "C:\\users\\kv");
    });
    EXPECT_EQ(ReadInstalledFiles(log_), (std::vector<std::string>{"c:\\kv\\demo.exe", "c:\\kv\\uninstal.exe",
                                                                  "c:\\kv\\uninstal.exe", "c:\\kv\\beispiel.txt"}));
    EXPECT_EQ(Value(log_, "Group", "Name"), "Neue Gruppe f\xFCr B\xFCro");
    EXPECT_EQ(Value(log_, "BenutzerKonto", "UserName"), "C:\\users\\kv");
  }
}

TEST_F(InstallLog, ReaderOfAnAbsentLogListsNothing) {
  EXPECT_TRUE(ReadInstalledFiles(log_).empty());
}

}  // namespace
