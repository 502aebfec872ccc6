// Deleting the uninstall registration: the key with every subkey, nothing
// else, and nothing at all for a name that would reach the key of all entries
// or for an entry whose UninstallString names another program.
#include "system/Kv_tools.h"
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

void MakeEntry(const std::string& name, const std::string& uninstallString) {
  for (const char* sub : {"", "\\Teil\\Tiefer", "\\Zweiter"})
    wine_test::SetRegString(HKEY_LOCAL_MACHINE, kUninstall + name + sub, "DisplayName", "Demo deinstalieren");
  wine_test::SetRegString(HKEY_LOCAL_MACHINE, kUninstall + name, "UninstallString", uninstallString);
}

TEST(DeleteUninstallKey, KeyWithSubkeysOnlyForThisUninstallersEntry) {
  const std::string self = GetAppPath();
  struct Case {
    const char* what;
    const char* folder;
    std::string uninstallString;
    bool restricted;
    bool deleted;
  };
  const Case cases[] = {
      {"entry with nested subkeys", "KvTest.Uninstall", self, false, true},
      {"entry below a company key", "KvTest.Firma\\Demo", self, false, true},
      {"another letter case", "KvTest.Uninstall", AnsiUpperCase(self), false, true},
      {"another program's entry", "KvTest.Uninstall", ExtractFilePath(self) + "Uninstal.exe", false, false},
      {"no UninstallString", "KvTest.Uninstall", "", false, false},
      {"empty name", "", self, false, false},
      {"trailing backslash", "KvTest.Uninstall\\", self, false, false},
      {"account without rights", "KvTest.Uninstall", self, true, false},
  };
  MakeEntry("KvTest.Sibling", self);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string entry = std::string("KvTest.") + (std::string(c.folder).find("Firma") != std::string::npos
                                                            ? "Firma\\Demo"
                                                            : "Uninstall");
    MakeEntry(entry, c.uninstallString);
    seam::SimulateRestrictedAccount(c.restricted);
    DeleteUninstallKey(c.folder);
    seam::SimulateRestrictedAccount(false);
    EXPECT_EQ(KeyExists(kUninstall + entry), !c.deleted);
    EXPECT_TRUE(KeyExists(kUninstall + "KvTest.Sibling\\Teil\\Tiefer"));
  }
  DeleteUninstallKey("KvTest.Uninstall");
  DeleteUninstallKey("KvTest.Firma\\Demo");
  DeleteUninstallKey("KvTest.Sibling");
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstall + "KvTest.Firma").c_str());
  EXPECT_FALSE(KeyExists(kUninstall + "KvTest.Sibling"));
  EXPECT_TRUE(KeyExists(kUninstall));
}

}  // namespace
