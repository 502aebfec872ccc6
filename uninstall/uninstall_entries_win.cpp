#include "uninstall/uninstall_entries.h"

#include "engine/program_group.h"
#include "engine/shell_link.h"
#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/handles.h"
#include "system/registry.h"
#include "uninstall/program_dir.h"

namespace {

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

// The shell folders of an account: the user's own, or those of all users.
struct InstallerFolders {
  int programs, startMenu, desktop;
};
constexpr InstallerFolders kUserFolders{CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY};
constexpr InstallerFolders kCommonFolders{CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY};

void DeleteIfLinkInto(const std::string& link, const std::string& programDir) {
  if (IsInsideFolder(GetShellLinkTarget(link), programDir)) ::DeleteFileA(link.c_str());
}

// A shortcut of the first [Items] line: by name where the folder is the one the
// uninstaller has always used, else only when it leads into the program.
void RemoveShortcut(const std::string& folder, int shellFolder, const std::string& fileName,
                    const std::string& programDir) {
  if (DirectoryExists(folder)) {
    ::DeleteFileA((AddBackslash(folder) + fileName).c_str());
    return;
  }
  const std::string installerFolder = GetSpecialFolder(shellFolder);
  if (!installerFolder.empty()) DeleteIfLinkInto(AddBackslash(installerFolder) + fileName, programDir);
}

void RemoveGroup(const std::string& programsFolder, int shellFolder, const std::string& groupName,
                 const std::string& programDir) {
  if (DirectoryExists(programsFolder)) {
    DeleteDirTree(AddBackslash(programsFolder) + groupName);
    return;
  }
  const std::string installerFolder = GetSpecialFolder(shellFolder);
  if (installerFolder.empty()) return;
  const std::string group = AddBackslash(installerFolder) + groupName;
  for (const DirEntry& entry : FindEntries(AddBackslash(group) + "*.*")) {
    if (!entry.directory) DeleteIfLinkInto(entry.path, programDir);
  }
  ::RemoveDirectoryA(group.c_str());  // only once nothing else is left in it
}

}  // namespace

void DeleteUninstallKey(const std::string& startMenuFolder) {
  if (!IsUninstallEntryName(startMenuFolder)) return;
  // Opened first as the program opens every key: without the rights for it,
  // nothing is touched.
  const std::string path = UninstallKeyPath(startMenuFolder).substr(1);  // from the root, without the marking "\"
  if (OpenMachineKey(path, false)) DeleteKeyTree(HKEY_LOCAL_MACHINE, path);
}

void RemoveGroupAndShortcuts(const std::string& groupName, const std::string& shortcutName,
                             const std::string& userProfileDir, const std::string& programDir) {
  if (groupName.empty()) return;
  const std::string startMenu = GetSpecialFolder(CSIDL_STARTMENU);
  if (startMenu.empty()) return;
  const std::string desktop = GetSpecialFolder(CSIDL_DESKTOP);
  const bool profile = !userProfileDir.empty();
  const InstallerFolders& account =
      profile && SameFolder(userProfileDir, AddBackslash(GetProfilesDirectory()) + "All Users") ? kCommonFolders
                                                                                                 : kUserFolders;
  // The names of a German Windows with the classic profile layout.
  const std::string menuFolder = profile ? AddBackslash(userProfileDir) + "Startmenü" : startMenu;

  if (IsGroupFolderName(groupName))
    RemoveGroup(AddBackslash(menuFolder) + "Programme", account.programs, groupName, programDir);
  if (!shortcutName.empty()) RemoveShortcut(menuFolder, account.startMenu, shortcutName + ".LNK", programDir);
  if (!desktop.empty())
    RemoveShortcut(profile ? AddBackslash(userProfileDir) + "Desktop" : desktop, account.desktop,
                   shortcutName + ".LNK", programDir);
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA | SHCNF_FLUSH, (desktop.empty() ? startMenu : desktop).c_str(),
                   nullptr);
}
