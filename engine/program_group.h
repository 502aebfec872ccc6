// The program group, its shortcuts, the uninstall registration, the outcome
// messages and the clean-up of earlier groups: the pieces the wizard's
// CreateProgmanGroup is made of.
#pragma once

#include "system/setup_list.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include "system/win.h"
#endif

// ---- Portable -------------------------------------------------------------

// What the system reports about the account and its special folders (paths
// as the shell gives them, without trailing backslash).
struct AccountFolders {
  bool isAdministrator = false;
  bool allUsers = false;        // shortcuts for every user; ignored without administrative rights
  std::string profilesDir;      // GetProfilesDirectory
  std::string loginName;        // GetUserLoginName
  std::string programs;         // CSIDL_PROGRAMS; "" when the lookup failed
  std::string desktop;          // CSIDL_DESKTOPDIRECTORY
  std::string commonPrograms;   // CSIDL_COMMON_PROGRAMS
  std::string commonDesktop;    // CSIDL_COMMON_DESKTOPDIRECTORY
};

// Where the shortcuts of one install go.
struct FolderSet {
  bool commonFolders = false;   // an administrator's install for all users
  std::string userProfileDir;   // the profile the shortcuts belong to, recorded in the log
  std::string groupFolder;      // the program group, no trailing backslash
  std::string programMenuRoot;  // the folder holding the groups, trailing backslash
  std::string desktopFolder;    // trailing backslash
};

// An administrator installing for all users gets the common folders and the
// "All Users" profile; anyone else the own folders and the own profile.
FolderSet ChooseFolderSet(const AccountFolders& account, const std::string& groupName);

// The uninstall entry's key under HKEY_LOCAL_MACHINE.
std::string UninstallKeyPath(const std::string& startMenuFolder);
// The entry's "DisplayName": the group name + " deinstalieren".
std::string UninstallDisplayName(const std::string& groupName);
// The entry's "UninstallString", and the target of an old group's "Programm
// entfernen" link that marks the group as this install's: the uninstaller in
// the install directory.
std::string UninstallerPath(const std::string& installPath);

// A command as the system's software list starts it: the path in quotes, so
// that a blank in it never makes Windows try a shorter path first
// ("C:\Program.exe" for "C:\Program Files\...").
std::string QuotedPath(const std::string& path);
// The program an entry's "UninstallString" starts: what its quotes enclose,
// or the whole text as entries written without quotes hold it.
std::string UninstallerOf(const std::string& uninstallString);

// What the uninstall entry is made from.
struct UninstallEntryFacts {
  std::string groupName;
  std::string installPath;
  std::string mainProgFile;     // "" when there is none: no icon
  std::string version;          // [General] Version; "" writes none
  std::string publisher;        // [General] Publisher; "" writes none
  unsigned long long installedBytes = 0;  // the files this run placed
};
// One value of the entry: a string, or a DWORD where number is set.
struct EntryValue {
  std::string name;
  std::string text;
  bool number = false;
  unsigned long dword = 0;
  bool operator==(const EntryValue& other) const {
    return name == other.name && text == other.text && number == other.number && dword == other.dword;
  }
};
// The entry's values in the order they are written: the software list's
// name and command, the command for an unattended removal, the place, the
// icon, version, publisher, the size in KiB (rounded up) and that the
// product offers no change and no repair.
std::vector<EntryValue> UninstallEntryValues(const UninstallEntryFacts& facts);

// True for a name that addresses one entry below the key that holds every
// program's uninstall entry: not empty and without an empty part (a leading,
// trailing or doubled backslash would reach that key itself). Nothing is
// written, looked up or deleted under any other name.
bool IsUninstallEntryName(const std::string& startMenuFolder);

// One program-group shortcut of the setup list's [Items]: "file=caption".
struct ShortcutItem {
  std::string file;     // relative to the install directory
  std::string caption;  // description and link file name, cut to kCaptionChars
};
// A caption is at most this long; the rest of a longer one is dropped.
constexpr std::size_t kCaptionChars = 255;
// The [Items] lines in file order; a line with an empty caption is left out.
std::vector<ShortcutItem> ReadShortcutItems(const ProfileReader& list);

// The outcome messages; path is the install directory as the user sees it.
std::string CopyErrorsMessage(const std::string& path);
// With the hint on other users' rights when asked for, and the question
// whether to start the program.
std::string SuccessMessage(const std::string& path, bool rightsHint);
// Windows Vista's: no hint, no question.
std::string VistaSuccessMessage(const std::string& path);
// The rights hint is for an administrator on the NT family (NT, 2000, XP, Vista).
bool RightsHintApplies(const std::string& windowsVersionName, bool isAdministrator);

// A registry value write that the system refused; names the value.
class ERegistryException : public std::runtime_error {
public:
  explicit ERegistryException(const std::string& valueName)
      : std::runtime_error("Konnte Daten für '" + valueName + "' nicht setzen") {}
};

// ---- Win32 ----------------------------------------------------------------
#ifdef _WIN32

// The account's folders; allUsers is the user's choice on the shortcuts page.
AccountFolders LookUpAccountFolders(bool allUsers);

// The folder (trailing backslash) for the Start-menu shortcut: the
// profile's "Startmenü" folder where it exists (a German Windows with the
// classic layout); otherwise the shell's Start menu of the same account, the
// common one for an all-users install. "" when the current user's Start menu
// cannot be looked up: no Start-menu shortcut then.
std::string StartMenuLinkFolder(const FolderSet& folders);

// The [Items] lines of the list file beside the program (ReadShortcutItems).
std::vector<ShortcutItem> ReadShortcutItems(const std::string& listFile);

// Registers the install in the system's software list with
// UninstallEntryValues. Nothing when startMenuFolder is no entry name (the key
// would be the parent of every program's entry) or the key cannot be opened (an
// account without administrative rights); ERegistryException when a value
// write is refused.
void WriteUninstallEntry(const std::string& startMenuFolder, const UninstallEntryFacts& facts);

// Moves one file to the recycle bin without asking; true on success. owner
// is the window that owns whatever the shell shows on the way.
bool RecycleFile(const std::string& path, HWND owner);
// Moves every file of the folder (any attributes, no subfolders) to the
// recycle bin; the folder and its subfolders stay.
void ClearFolder(const std::string& folder, HWND owner);

// Clears the groups of oldGroups (";"-separated folder names under
// programMenuRoot) that an earlier install into installPath left: those whose
// "Programm entfernen.LNK" points to exactly AddBackslash(installPath) +
// "Uninstal.exe". Nothing when programMenuRoot is empty; errors are swallowed.
void ClearOldGroups(const std::string& oldGroups, const std::string& programMenuRoot,
                    const std::string& installPath, HWND owner);
#endif
