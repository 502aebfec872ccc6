// Profile and special folders and the settings location, against the
// registry and file system of the test prefix. These tests change values
// under HKEY_LOCAL_MACHINE and the global Windows version that every process
// of the prefix sees, so CTest runs them alone.
#include "system/helpers.h"
#include "system/seam.h"
#include "system/handles.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"
#include "tests/system/probe_output.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace {

constexpr char kNtProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char k9xProfileList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";
constexpr char kFallback[] = "C:\\Dokumente und Einstellungen";

TEST(ProfilesDirectory, NtValueVariants) {
  struct Case {
    const char* value;  // nullptr: value removed
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"%SystemDrive%\\Documents and Settings", "C:\\Documents and Settings"},  // Windows lives on C: here
      {"%SystemDrive%\\Profiles\\%SystemDrive%", "C:\\Profiles\\C:"},
      {"%systemdrive%\\Profiles", "%systemdrive%\\Profiles"},  // replaced case-sensitively only
      {"%SystemRoot%\\Profiles", "%SystemRoot%\\Profiles"},    // no other variable is expanded
      {" D:\\Profile ", " D:\\Profile "},                      // returned untrimmed
      {"   ", kFallback},
      {"\t", kFallback},
      {"", kFallback},
      {nullptr, kFallback},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(no value)");
    wine_test::ScopedRegString saved(HKEY_LOCAL_MACHINE, kNtProfileList, "ProfilesDirectory", c.value);
    EXPECT_EQ(GetProfilesDirectory(), c.expected);
  }
  EXPECT_EQ(GetProfilesDirectory(), "C:\\users");  // Wine's own value is back
}

TEST(ProfilesDirectory, RestrictedAccountGetsFallback) {
  wine_test::ScopedRegString saved(HKEY_LOCAL_MACHINE, kNtProfileList, "ProfilesDirectory",
                                   "%SystemDrive%\\Documents and Settings");
  seam::SimulateRestrictedAccount(true);
  EXPECT_EQ(GetProfilesDirectory(), kFallback);
  seam::SimulateRestrictedAccount(false);
  EXPECT_EQ(GetProfilesDirectory(), "C:\\Documents and Settings");
}

TEST(ProfilesDirectory, WindowsNineXReadsItsOwnKey) {
  const SimulatedWindowsVersion win98{1, 4, 10, " A "};
  seam::SimulateWindowsVersion(&win98);
  EXPECT_EQ(GetProfilesDirectory(), kFallback);  // the key does not exist
  {
    wine_test::ScopedRegString nineX(HKEY_LOCAL_MACHINE, k9xProfileList, "ProfilesDirectory",
                                     "%SystemDrive%\\WINDOWS\\Profiles");
    EXPECT_EQ(GetProfilesDirectory(), "C:\\WINDOWS\\Profiles");
  }
  {
    wine_test::ScopedRegString nineX(HKEY_LOCAL_MACHINE, k9xProfileList, "Other", "x");
    EXPECT_EQ(GetProfilesDirectory(), kFallback);  // key without the value
  }
  seam::SimulateWindowsVersion(nullptr);
}

TEST(UserFolders, LoginWindowsAndSpecialFolders) {
  EXPECT_EQ(GetUserLoginName(), "tester");  // the test prefix runs as this account
  EXPECT_EQ(GetWindowsDir(), "C:\\windows");
  const std::string programs = GetSpecialFolder(CSIDL_PROGRAMS);
  EXPECT_EQ(programs, "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
  EXPECT_EQ(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), "C:\\users\\tester\\Desktop");
  EXPECT_EQ(GetSpecialFolder(CSIDL_COMMON_PROGRAMS), "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
  EXPECT_EQ(GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), "C:\\users\\Public\\Desktop");
  EXPECT_EQ(GetSpecialFolder(0x7F), "");  // no such folder
}

TEST(WindowsVersion, NinetyEightFirstEditionAndUnknownFromRegistry) {
  // Without a per-program setting and without the NT version values, Wine
  // takes the version from the values that a real Windows 9x keeps.
  wine_test::ScopedRegString noNtVersion(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                         "CurrentVersion", nullptr);
  const char* const key = "Software\\Microsoft\\Windows\\CurrentVersion";
  kvtest::TempDir dir;
  const std::string probe = dir.Path() + "probe_reg98.exe";
  ASSERT_TRUE(::CopyFileA(ProbePath().c_str(), probe.c_str(), FALSE));
  struct Row {
    const char* versionNumber;
    const char* subVersion;
    const char* name;
  };
  const std::vector<Row> rows = {
      {"4.10.1998", " ", "Windows 98"},
      {"4.10.2222", " A ", "Windows 98SE"},
      {"4.0.950", "", "Windows 95"},
      {"4.90.3000", " ", "Windows ME"},
      {"4.3.1000", "", "Unknown"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.versionNumber);
    wine_test::ScopedRegString number(HKEY_LOCAL_MACHINE, key, "VersionNumber", row.versionNumber);
    wine_test::ScopedRegString sub(HKEY_LOCAL_MACHINE, key, "SubVersionNumber", row.subVersion);
    const auto facts = ParseProbe(wine_test::Run("\"" + probe + "\"").output);
    EXPECT_EQ(facts.at("version"), row.name);
    EXPECT_EQ(facts.at("admin"), "0");
  }
}

TEST(SettingsLocation, WritableProgramFolder) {
  kvtest::TempDir dir;
  const std::string probe = dir.Path() + "SETUP.EXE";
  ASSERT_TRUE(::CopyFileA(ProbePath().c_str(), probe.c_str(), FALSE));
  const auto facts = ParseProbe(wine_test::Run("\"" + probe + "\"").output);
  EXPECT_EQ(facts.at("exedir"), dir.Path());
  EXPECT_EQ(facts.at("settingsfile"), dir.Path() + "SETUP.INI");
  EXPECT_EQ(facts.at("settingsdir"), dir.Path());
  EXPECT_FALSE(FileExists(dir.Path() + "IniTest"));  // the probe file is gone
  // Nothing was created in the profile.
  const std::string folder = ExtractFileName(RemoveBackslash(dir.Path()));
  EXPECT_FALSE(DirectoryExists("C:\\users\\tester\\" + folder));
}

// Settings file name as the start-up sets it, for one in-process IniWriteTest.
bool IniWriteTestIn(const std::string& folder) {
  const std::string saved = SettingsFile;
  SettingsFile = folder + "SETUP.INI";
  const bool writable = IniWriteTest();
  SettingsFile = saved;
  return writable;
}

TEST(IniWriteTest, AcceptedWriteThatNeverReachesTheFileIsNotWritable) {
  // Windows 9x accepts a cached write to a read-only medium. Wine shows the
  // same kind of write through the profile mapping: the write is accepted
  // and goes to the registry, and no file appears.
  kvtest::TempDir dir;
  EXPECT_TRUE(IniWriteTestIn(dir.Path()));
  {
    const char* const mapping = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\IniTest";
    wine_test::ScopedRegString mapped(HKEY_LOCAL_MACHINE, mapping, "", "USR:Software\\KvTest.IniMapping");
    EXPECT_FALSE(IniWriteTestIn(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path() + "IniTest"));
  }
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KvTest.IniMapping\\Optionen");
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KvTest.IniMapping");
  EXPECT_TRUE(IniWriteTestIn(dir.Path()));
}

// Names and contents of the files and folders directly in folder.
std::map<std::string, std::string> FolderContents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  WIN32_FIND_DATAA entry;
  kv::FindHandle find(::FindFirstFileA((folder + "*").c_str(), &entry));
  if (!find) return contents;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      contents[name] = "<folder>";
      continue;
    }
    std::ifstream in(folder + name, std::ios::binary);
    contents[name] = std::string(std::istreambuf_iterator<char>(in), {});
  } while (::FindNextFileA(find.Get(), &entry));
  return contents;
}

TEST(IniWriteTest, ProbeLeavesWhatWasThereAlone) {
  struct Case {
    const char* what;
    std::vector<std::string> files;    // made before the probe, with their own name as content
    std::vector<std::string> folders;  // made before the probe
  };
  const std::vector<Case> cases = {
      {"empty folder", {}, {}},
      {"a user's file IniTest", {"IniTest"}, {}},
      {"IniTest and IniTest1", {"IniTest", "IniTest1"}, {}},
      {"a folder IniTest, a file IniTest1", {"IniTest1"}, {"IniTest"}},
      {"IniTest.ini beside it", {"IniTest.ini", "SETUP.INI"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::TempDir dir;
    for (const std::string& folder : c.folders) ForceDirectories(dir.Path() + folder);
    for (const std::string& file : c.files) kvtest::WriteBytes(dir.Path() + file, "[Eigenes]\r\n" + file);
    const auto before = FolderContents(dir.Path());
    EXPECT_TRUE(IniWriteTestIn(dir.Path()));
    EXPECT_EQ(FolderContents(dir.Path()), before);
  }
}

}  // namespace
