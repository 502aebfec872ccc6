#include "uninstall/uninstall_entries.h"

#include "system/registry.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameBuffer = 256;

// Windows NT refuses to delete a key that still has subkeys (Windows 9x takes
// them along), so the subkeys go first, deepest first.
bool DeleteKeyTree(HKEY parent, const std::string& name) {
  {
    kv::RegKey key;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) {
      key.Release();  // left undefined by a failed call
      return false;
    }
    char subkey[kKeyNameBuffer];
    // A subkey that cannot be deleted stays at its index; step past it.
    for (DWORD index = 0; ::RegEnumKeyA(key.Get(), index, subkey, kKeyNameBuffer) == ERROR_SUCCESS;) {
      if (!DeleteKeyTree(key.Get(), subkey)) ++index;
    }
  }
  return ::RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

void DeleteUninstallKey(const std::string& startMenuFolder) {
  if (!IsUninstallEntryName(startMenuFolder)) return;
  const kv::RegKey uninstall = OpenMachineKey(kUninstallKey, false);
  if (uninstall) DeleteKeyTree(uninstall.Get(), startMenuFolder);
}
