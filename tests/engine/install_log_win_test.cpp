// The install log written and read through the real profile functions.
#include "engine/ini_file.h"
#include "engine/install_log.h"
#include "system/Data.h"
#include "system/Kv_tools.h"
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

  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryA(installPath_.c_str(), nullptr));
    ProgName = "Demo";
    GroupName = "Demo Gruppe";
    StartMenuFolder = "Demo";
    UserProfileDir.clear();
  }
};

TEST_F(InstallLog, RunWritesItsSectionsInOrderUnderTheUpperCaseName) {
  WriteInstallLogEntry(installPath_, 1, "c:\\demo programm\\demo.exe");
  EXPECT_EQ(ProgName, "");
  WriteInstallLogEntry(installPath_, 2, "c:\\windows\\demo.ini");
  WriteInstallLogEntry(installPath_, 4, "c:\\demo programm\\uninstal.exe");  // 3 was a skipped sample file
  UserProfileDir = "C:\\users\\All Users";
  WriteInstallLogUserAccount(installPath_);

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
  WriteInstallLogEntry(installPath_, 1, "c:\\alt\\a.exe");
  WriteInstallLogEntry(installPath_, 2, "c:\\alt\\b.exe");
  WriteInstallLogEntry(installPath_, 3, "c:\\alt\\uninstal.exe");

  ProgName = "";  // [General] Name present but empty in the setup list
  GroupName = "Neue Gruppe";
  WriteInstallLogEntry(installPath_, 1, "c:\\neu\\a.exe");
  WriteInstallLogEntry(installPath_, 2, "c:\\neu\\uninstal.exe");

  EXPECT_EQ(Value(log_, "General", "Name"), "Demo");
  EXPECT_EQ(Value(log_, "Group", "Name"), "Neue Gruppe");
  EXPECT_EQ(ReadInstalledFiles(log_),
            (std::vector<std::string>{"c:\\neu\\a.exe", "c:\\neu\\uninstal.exe", "c:\\alt\\uninstal.exe"}));
}

TEST_F(InstallLog, EmptyNameAndEmptyProfileWriteNothingOfTheirs) {
  ProgName = "";
  WriteInstallLogUserAccount(installPath_);
  EXPECT_FALSE(FileExists(log_));
  WriteInstallLogEntry(installPath_, 1, "c:\\kv\\a.exe");
  EXPECT_EQ(kvtest::ReadText(log_).find("[General]"), std::string::npos);
  EXPECT_EQ(kvtest::ReadText(log_).find("[BenutzerKonto]"), std::string::npos);
}

TEST_F(InstallLog, RefusedWriteRaisesWithTheLogsPath) {
  try {
    WriteInstallLogEntry(installPath_ + "\\fehlt", 1, "c:\\kv\\a.exe");
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("nach ", 0), 0u) << message;
    const std::string end = "\\DEMO PROGRAMM\\FEHLT\\INSTALL1.LOG kann nicht geschrieben werden";
    EXPECT_EQ(message.substr(message.size() - std::min(message.size(), end.size())), end);
  }
}

TEST_F(InstallLog, ReaderOfAnAbsentLogListsNothing) {
  EXPECT_TRUE(ReadInstalledFiles(log_).empty());
}

}  // namespace
