#include "engine/program_group.h"

#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "system/registry.h"
#include "system/run_log.h"
#include "system/setup_list.h"

#include <shellapi.h>

AccountFolders LookUpAccountFolders(bool allUsers) {
  AccountFolders account;
  account.isAdministrator = IsAdministrator();
  account.allUsers = allUsers;
  account.profilesDir = GetProfilesDirectory();
  account.loginName = GetUserLoginName();
  account.programs = GetSpecialFolder(CSIDL_PROGRAMS);
  account.desktop = GetSpecialFolder(CSIDL_DESKTOPDIRECTORY);
  account.commonPrograms = GetSpecialFolder(CSIDL_COMMON_PROGRAMS);
  account.commonDesktop = GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  return account;
}

std::string StartMenuLinkFolder(const FolderSet& folders) {
  const std::string userStartMenu = GetSpecialFolder(CSIDL_STARTMENU);
  if (userStartMenu.empty()) return {};
  if (folders.userProfileDir.empty()) return userStartMenu + "\\";
  const std::string classic = AddBackslash(folders.userProfileDir) + "Startmenü\\";
  if (DirectoryExists(classic)) return classic;
  // Other languages and the profile layout of Windows Vista name the folder
  // otherwise; the shell knows where it is.
  return AddBackslash(folders.commonFolders ? GetSpecialFolder(CSIDL_COMMON_STARTMENU) : userStartMenu);
}

std::vector<ShortcutItem> ReadShortcutItems(const std::string& listFile) {
  return ReadShortcutItems(ProfileOf(listFile));
}

void WriteUninstallEntry(const std::string& startMenuFolder, const UninstallEntryFacts& facts) {
  if (!IsUninstallEntryName(startMenuFolder)) return;
  const std::string keyName = "HKEY_LOCAL_MACHINE" + UninstallKeyPath(startMenuFolder);
  const kv::RegKey key = OpenMachineKey(UninstallKeyPath(startMenuFolder), true);
  if (!key) {
    LogRun("Kein Eintrag in der Softwareliste (keine Rechte): " + keyName);
    return;
  }
  LogRun("Eintrag in der Softwareliste: " + keyName);
  for (const EntryValue& value : UninstallEntryValues(facts)) {
    const bool written =
        value.number ? WriteRegDword(key.Get(), value.name, value.dword) : WriteRegString(key.Get(), value.name, value.text);
    if (!written) throw ERegistryException(value.name);
    LogRun("  " + value.name + " = " + (value.number ? std::to_string(value.dword) : value.text));
  }
}

bool RecycleFile(const std::string& path, HWND owner) {
  // A list of one path: the list ends with an empty string.
  const std::string from = path + '\0' + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
  return ::SHFileOperationA(&operation) == 0;
}

void ClearFolder(const std::string& folder, HWND owner) {
  // Files of every attribute, in the order the system lists them; no folders.
  for (const DirEntry& entry : FindEntries(AddBackslash(folder) + "*.*")) {
    if (!entry.directory) RecycleFile(entry.path, owner);
  }
}

void ClearOldGroups(const std::string& oldGroups, const std::string& programMenuRoot,
                    const std::string& installPath, HWND owner) {
  if (programMenuRoot.empty()) return;
  try {
    const std::string uninstaller = UninstallerPath(installPath);
    for (const std::string& name : SplitFileList(oldGroups)) {
      // An empty name would make the menu root itself the group.
      if (name.empty()) continue;
      const std::string folder = programMenuRoot + name;
      const std::string uninstallLink = folder + "\\Programm entfernen.LNK";
      if (DirectoryExists(folder) && FileExists(uninstallLink) && GetShellLinkTarget(uninstallLink) == uninstaller)
        ClearFolder(folder, owner);
    }
  } catch (...) {
    // Left-over groups are a nuisance, not a reason to fail the install.
  }
}
