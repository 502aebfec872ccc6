#include "uninstall/uninstall_entries.h"

#include "engine/program_group.h"
#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "system/registry.h"
#include "system/run_log.h"
#include "uninstall/program_dir.h"

namespace {

// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameBuffer = 256;

// Windows NT refuses to delete a key that still has subkeys (Windows 9x takes
// them along), so the subkeys go first, deepest first.
bool DeleteKeyTree(HKEY parent, const std::string& name) {
  {
    const kv::RegKey key = OpenKey(parent, name, KEY_ALL_ACCESS);
    if (!key) return false;
    char subkey[kKeyNameBuffer];
    // A subkey that cannot be deleted stays at its index; step past it.
    for (DWORD index = 0; ::RegEnumKeyA(key.Get(), index, subkey, kKeyNameBuffer) == ERROR_SUCCESS;) {
      if (!DeleteKeyTree(key.Get(), subkey)) ++index;
    }
  }
  return ::RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

FolderKind KindOf(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return FolderKind::Missing;
  return attributes & FILE_ATTRIBUTE_REPARSE_POINT ? FolderKind::Link : FolderKind::Plain;
}

void DeleteIfProductShortcut(const DirEntry& entry, const std::vector<std::string>& programDir) {
  const LinkFile file{entry.directory, entry.link, entry.directory ? "" : GetShellLinkTarget(entry.path)};
  if (IsProductShortcut(file, programDir)) ::DeleteFileA(entry.path.c_str());
}

// A shortcut of the first [Items] line, by its name (IsPlainShortcutName:
// no wildcard, so the walk finds that one link) in folder.
void RemoveShortcut(const std::string& folder, const std::string& fileName,
                    const std::vector<std::string>& programDir) {
  if (folder.empty()) return;
  for (const DirEntry& entry : FindEntries(AddBackslash(folder) + fileName)) DeleteIfProductShortcut(entry, programDir);
}

// The product's links in the group folder, then the folder once nothing
// else is left in it: the group name may name a folder others use too.
void RemoveGroup(const std::string& programs, const std::string& groupName,
                 const std::vector<std::string>& programDir) {
  if (programs.empty() || !IsGroupFolderName(groupName)) return;
  const std::string group = AddBackslash(programs) + groupName;
  if (KindOf(group) != FolderKind::Plain) return;
  for (const DirEntry& entry : FindEntries(AddBackslash(group) + "*.*")) DeleteIfProductShortcut(entry, programDir);
  ::RemoveDirectoryA(group.c_str());
}

ShortcutFolders ShellFolders(int programs, int startMenu, int desktop) {
  return {GetSpecialFolder(programs), GetSpecialFolder(startMenu), GetSpecialFolder(desktop)};
}

}  // namespace

void DeleteUninstallKey(const std::string& startMenuFolder) {
  if (!IsUninstallEntryName(startMenuFolder)) return;
  // Opened first as the program opens every key: without the rights for it,
  // nothing is touched. Another program's entry stays.
  const std::string path = UninstallKeyPath(startMenuFolder).substr(1);  // from the root, without the marking "\"
  const kv::RegKey key = OpenMachineKey(path, false);
  if (key && IsRunningProgram(UninstallerOf(ReadRegString(key.Get(), "UninstallString")))) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, path);
    LogRun("Eintrag in der Softwareliste entfernt: HKEY_LOCAL_MACHINE\\" + path);
  }
}

void RemoveGroupAndShortcuts(const std::string& groupName, const std::string& shortcutName,
                             const std::string& userProfileDir, const std::string& programDir) {
  if (groupName.empty()) return;
  ShortcutFacts facts;
  facts.userProfileDir = userProfileDir;
  facts.profilesDir = GetProfilesDirectory();
  facts.startMenu = GetSpecialFolder(CSIDL_STARTMENU);
  facts.desktop = GetSpecialFolder(CSIDL_DESKTOP);
  facts.user = ShellFolders(CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY);
  facts.common = ShellFolders(CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY);
  if (facts.startMenu.empty()) return;
  const ShortcutFolders folders = ChooseShortcutFolders(facts, KindOf);
  const std::vector<std::string> spellings = FolderSpellings(programDir);

  RemoveGroup(folders.programs, groupName, spellings);
  if (IsPlainShortcutName(shortcutName)) {
    RemoveShortcut(folders.startMenu, shortcutName + ".LNK", spellings);
    RemoveShortcut(folders.desktop, shortcutName + ".LNK", spellings);
  }
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA | SHCNF_FLUSH,
                   (facts.desktop.empty() ? facts.startMenu : facts.desktop).c_str(), nullptr);
}
