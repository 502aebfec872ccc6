// The registration pieces against the test prefix's real folders, registry,
// shortcut files and recycle bin.
#include "engine/program_group.h"
#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "system/seam.h"
#include "tests/support/test_files.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUserMenu[] = "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
constexpr char kCommonMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";

TEST(AccountFolders, FolderSetForEachSituation) {
  const struct {
    const char* name;
    bool restricted;
    bool allUsers;
    const char* userProfileDir;
    std::string groupFolder;
    const char* desktopFolder;
    std::string startMenu;
  } cases[] = {
      {"administrator for all users", false, true, "C:\\users\\All Users",
       std::string(kCommonMenu) + "\\Programs\\Kv Demo", "C:\\users\\Public\\Desktop\\",
       std::string(kCommonMenu) + "\\"},
      {"administrator for the current user", false, false, "C:\\users\\tester",
       std::string(kUserMenu) + "\\Programs\\Kv Demo", "C:\\users\\tester\\Desktop\\", std::string(kUserMenu) + "\\"},
      // Without full access to the profile list the profiles root is the fallback.
      {"no administrator", true, true, "C:\\Dokumente und Einstellungen\\tester",
       std::string(kUserMenu) + "\\Programs\\Kv Demo", "C:\\users\\tester\\Desktop\\", std::string(kUserMenu) + "\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    seam::SimulateRestrictedAccount(c.restricted);
    const FolderSet set = ChooseFolderSet(LookUpAccountFolders(c.allUsers), "Kv Demo");
    seam::SimulateRestrictedAccount(false);
    EXPECT_EQ(set.userProfileDir, c.userProfileDir);
    EXPECT_EQ(set.groupFolder, c.groupFolder);
    EXPECT_EQ(set.desktopFolder, c.desktopFolder);
    // No "Startmenü" folder in these profiles: the shell's Start menu.
    EXPECT_EQ(StartMenuLinkFolder(set), c.startMenu);
  }
}

TEST(StartMenuLinkFolder, ClassicFolderWhereItExists) {
  kvtest::TempDir profile;
  FolderSet set;
  set.userProfileDir = RemoveBackslash(profile.Path());
  for (bool common : {false, true}) {
    set.commonFolders = common;
    EXPECT_EQ(StartMenuLinkFolder(set), std::string(common ? kCommonMenu : kUserMenu) + "\\");
  }
  ASSERT_TRUE(ForceDirectories(profile.Path() + "Startmenü"));
  EXPECT_EQ(StartMenuLinkFolder(set), profile.Path() + "Startmenü\\");
  set.userProfileDir.clear();
  EXPECT_EQ(StartMenuLinkFolder(set), std::string(kUserMenu) + "\\");
}

TEST(ShortcutItems, LinesInFileOrder) {
  kvtest::TempDir medium;
  const std::string list = medium.Path() + "Setup.lst";
  const std::string longCaption(300, 'x');
  kvtest::WriteBytes(list,
                            "[Items]\r\nDemo.exe=Demo\r\nHilfe\\Demo.hlp=Hilfe zu Demo\r\nLeer.txt=\r\n"
                            "Uninstal.exe=Programm entfernen\r\nLang.exe=" +
                                longCaption + "\r\nDemo.exe=Zweite Zeile\r\nText=mit=Gleich\r\n[Group]\r\nName=x\r\n");
  std::vector<std::pair<std::string, std::string>> got;
  for (const ShortcutItem& item : ReadShortcutItems(list)) got.emplace_back(item.file, item.caption);
  // The second "Demo.exe" line is the same key: it gives the first caption
  // again, so both lines make the same shortcut.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Demo.exe", "Demo"},
      {"Hilfe\\Demo.hlp", "Hilfe zu Demo"},
      {"Uninstal.exe", "Programm entfernen"},
      {"Lang.exe", longCaption.substr(0, 255)},
      {"Demo.exe", "Demo"},
      {"Text", "mit=Gleich"},
  };
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(ReadShortcutItems(medium.Path() + "fehlt.lst").empty());
}

class UninstallEntry : public ::testing::Test {
protected:
  const UninstallEntryFacts kFacts{"Kv Demo", "C:\\Programme\\Kv Demo", "", "", "", 0};
  const std::string folder_ = "KvTest.Engine." + std::to_string(::GetCurrentProcessId());
  const std::string key_ = std::string(kUninstallKey) + "\\" + folder_;

  void TearDown() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str()); }

  static DWORD ValueCount(const std::string& key) {
    kv::RegKey k;
    DWORD values = 0;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS)
      ::RegQueryInfoKeyA(k.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
    return values;
  }
};

TEST_F(UninstallEntry, EveryValueAndASecondInstallReplacesThem) {
  WriteUninstallEntry(folder_, kFacts);
  std::string value;
  ASSERT_TRUE(wine_test::ReadRegString(HKEY_LOCAL_MACHINE, key_, "UninstallString", value));
  EXPECT_EQ(value, "\"C:\\Programme\\Kv Demo\\Uninstal.exe\"");
  // The size a DWORD, as the software list reads it.
  kv::RegKey k;
  DWORD type = 0;
  ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, k.Receive());
  EXPECT_EQ(::RegQueryValueExA(k.Get(), "EstimatedSize", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ValueCount(key_), 7u);
  WriteUninstallEntry(folder_, {"Neu", "D:\\Neu\\", "", "", "", 0});
  ASSERT_TRUE(wine_test::ReadRegString(HKEY_LOCAL_MACHINE, key_, "QuietUninstallString", value));
  EXPECT_EQ(value, "\"D:\\Neu\\Uninstal.exe\" /s");
  EXPECT_EQ(ValueCount(key_), 7u);
}

// A folder with an empty part would write into the key of every program.
TEST_F(UninstallEntry, NothingForAFolderWithoutAnEntryNameOrARestrictedAccount) {
  const DWORD parentValues = ValueCount(kUninstallKey);
  for (const char* folder : {"", "\\", "\\KvTest.Lead", "KvTest.Trail\\", "KvTest\\\\Doubled"}) {
    SCOPED_TRACE(folder);
    WriteUninstallEntry(folder, kFacts);
    EXPECT_EQ(ValueCount(kUninstallKey), parentValues);
    // Nor a key of its own, which nothing would remove.
    for (const char* key : {"\\KvTest.Lead", "\\KvTest.Trail", "\\KvTest"})
      EXPECT_EQ(ValueCount(kUninstallKey + std::string(key)), 0u);
  }

  seam::SimulateRestrictedAccount(true);
  WriteUninstallEntry(folder_, kFacts);
  seam::SimulateRestrictedAccount(false);
  kv::RegKey k;
  EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, k.Receive()), ERROR_SUCCESS);
  k.Release();
}

// Wine's recycle bin: the freedesktop trash in $HOME/.local/share, with one
// .trashinfo record per file naming where it came from. Wine makes the trash
// only where that folder exists (as on any desktop, unlike the test's HOME);
// without it, it deletes for good.
std::string TrashFolder() {
  // Wine passes the Unix home to its programs as an NT path ("\\??\\Z:\\...").
  char home[MAX_PATH] = {};
  ::GetEnvironmentVariableA("WINEHOMEDIR", home, MAX_PATH);
  const std::string folder = std::string(home).substr(4) + "\\.local\\share";
  ForceDirectories(folder);
  return folder + "\\Trash";
}
const std::string kTrash = TrashFolder();

// The original paths (Unix form) of everything in the trash.
std::string TrashedPaths() {
  std::string paths;
  WIN32_FIND_DATAA entry;
  const std::string folder = kTrash + "\\info";
  const kv::FindHandle find(::FindFirstFileA((folder + "\\*.trashinfo").c_str(), &entry));
  if (!find) return paths;
  do {
    std::ifstream in(folder + "\\" + entry.cFileName);
    std::ostringstream text;
    text << in.rdbuf();
    paths += text.str();
  } while (::FindNextFileA(find.Get(), &entry));
  return paths;
}

TEST(OldGroups, OnlyGroupsOfThisInstallAreCleared) {
  kvtest::TempDir menu;
  const std::string installPath = menu.Path() + "Programm";
  ASSERT_TRUE(ForceDirectories(installPath));
  const std::string uninstaller = installPath + "\\Uninstal.exe";
  kvtest::WriteBytes(uninstaller, "MZ");
  const std::string elsewhere = menu.Path() + "Anderswo\\Uninstal.exe";
  ASSERT_TRUE(ForceDirectories(ExtractFilePath(elsewhere)));
  kvtest::WriteBytes(elsewhere, "MZ");

  // Group names without blanks: the trash records paths URL-encoded.
  const struct {
    const char* name;
    std::string uninstallTarget;
    bool cleared;
  } groups[] = {
      {"AltAnders", elsewhere, false},
      {"AltDieses", uninstaller, true},
      {"AltGrossKlein", menu.Path() + "Programm\\UNINSTAL.EXE", false},  // exactly, letter case included
      {"NichtGenannt", uninstaller, false},
  };
  for (const auto& g : groups) {
    const std::string folder = menu.Path() + g.name;
    ASSERT_TRUE(ForceDirectories(folder + "\\Unterordner"));
    CreateShellLink(g.uninstallTarget, "Programm entfernen", folder + "\\Programm entfernen.LNK", installPath, SW_SHOW);
    CreateShellLink(installPath + "\\Demo.exe", "Demo", folder + "\\Demo.LNK", installPath, SW_SHOW);
    kvtest::WriteBytes(folder + "\\Versteckt.txt", "");
    ::SetFileAttributesA((folder + "\\Versteckt.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    kvtest::WriteBytes(folder + "\\Unterordner\\Bleibt.txt", "");
  }

  DeleteDirTree(kTrash);
  ClearOldGroups("Fehlt;AltAnders;;AltDieses;AltGrossKlein;", menu.Path(), installPath, nullptr);

  const std::string trashed = TrashedPaths();
  for (const auto& g : groups) {
    SCOPED_TRACE(g.name);
    const std::string folder = menu.Path() + g.name;
    for (const char* file : {"Programm entfernen.LNK", "Demo.LNK", "Versteckt.txt"}) {
      SCOPED_TRACE(file);
      EXPECT_EQ(FileExists(folder + "\\" + file), !g.cleared);
    }
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_TRUE(FileExists(folder + "\\Unterordner\\Bleibt.txt"));
    // In the recycle bin, not deleted for good.
    const std::string unixName = ExtractFileName(RemoveBackslash(menu.Path())) + "/" + g.name + "/Demo.LNK";
    EXPECT_EQ(trashed.find(unixName) != std::string::npos, g.cleared) << trashed;
  }
  // Without a known menu root nothing is looked at.
  CreateShellLink(uninstaller, "Programm entfernen", menu.Path() + "AltDieses\\Programm entfernen.LNK", installPath,
                  SW_SHOW);
  ClearOldGroups("AltDieses", "", installPath, nullptr);
  EXPECT_TRUE(FileExists(menu.Path() + "AltDieses\\Programm entfernen.LNK"));
}

TEST(RecycleFile, MissingFileFails) {
  kvtest::TempDir dir;
  EXPECT_FALSE(RecycleFile(dir.Path() + "fehlt.txt", nullptr));
  kvtest::WriteBytes(dir.Path() + "da.txt", "");
  EXPECT_TRUE(RecycleFile(dir.Path() + "da.txt", nullptr));
  EXPECT_FALSE(FileExists(dir.Path() + "da.txt"));
}

}  // namespace
