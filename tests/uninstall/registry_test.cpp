// Deleting the uninstall registration: the key with every subkey, nothing
// else, and nothing at all for a name that would reach the key of all entries
// or for another program's entry.
#include "system/helpers.h"
#include "system/handles.h"
#include "system/seam.h"
#include "tests/support/wine_support.h"
#include "uninstall/uninstall_entries.h"

#include <gtest/gtest.h>

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool KeyExists(const std::string& key) {
  kv::RegKey k;
  return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

void MakeEntry(const std::string& name, const std::string& uninstallString = GetAppPath()) {
  for (const char* sub : {"", "\\Teil\\Tiefer", "\\Zweiter"})
    wine_test::SetRegString(HKEY_LOCAL_MACHINE, kUninstall + name + sub, "DisplayName", "Demo deinstalieren");
  wine_test::SetRegString(HKEY_LOCAL_MACHINE, kUninstall + name, "UninstallString", uninstallString);
}

TEST(DeleteUninstallKey, KeyWithSubkeysOnlyForAnEntryName) {
  struct Case {
    const char* what;
    const char* folder;
    bool restricted;
    bool deleted;
  };
  const Case cases[] = {
      {"entry with nested subkeys", "KvTest.Uninstall", false, true},
      {"entry below a company key", "KvTest.Firma\\Demo", false, true},
      {"empty name", "", false, false},
      {"trailing backslash", "KvTest.Uninstall\\", false, false},
      {"account without rights", "KvTest.Uninstall", true, false},
  };
  MakeEntry("KvTest.Sibling");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string entry = std::string("KvTest.") + (std::string(c.folder).find("Firma") != std::string::npos
                                                            ? "Firma\\Demo"
                                                            : "Uninstall");
    MakeEntry(entry);
    seam::SimulateRestrictedAccount(c.restricted);
    DeleteUninstallKey(c.folder);
    seam::SimulateRestrictedAccount(false);
    EXPECT_EQ(KeyExists(kUninstall + entry), !c.deleted);
    EXPECT_TRUE(KeyExists(kUninstall + "KvTest.Sibling\\Teil\\Tiefer"));
  }
  // Only this uninstaller's entry, however its path is spelled.
  for (const std::string& other : {ExtractFilePath(GetAppPath()) + "Uninstal.exe", std::string()}) {
    MakeEntry("KvTest.Fremd", other);
    DeleteUninstallKey("KvTest.Fremd");
    EXPECT_TRUE(KeyExists(kUninstall + "KvTest.Fremd")) << other;
  }
  // The quoted form an install writes now is this uninstaller's too.
  MakeEntry("KvTest.Quoted", "\"" + GetAppPath() + "\"");
  DeleteUninstallKey("KvTest.Quoted");
  EXPECT_FALSE(KeyExists(kUninstall + "KvTest.Quoted"));
  MakeEntry("KvTest.Fremd", AnsiUpperCase(GetAppPath()));
  for (const char* entry : {"KvTest.Fremd", "KvTest.Uninstall", "KvTest.Sibling"}) DeleteUninstallKey(entry);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstall + "KvTest.Firma").c_str());
  EXPECT_FALSE(KeyExists(kUninstall + "KvTest.Sibling"));
  EXPECT_FALSE(KeyExists(kUninstall + "KvTest.Fremd"));
  EXPECT_TRUE(KeyExists(kUninstall));
}

}  // namespace
