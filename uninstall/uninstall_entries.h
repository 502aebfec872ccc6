// What the installation registered outside its directory: the uninstall
// registration key, the program group and the desktop and Start-menu
// shortcuts. The log naming them lies in the program directory, which its
// user may be able to write, and the uninstall is often run by an
// administrator: so only what is the product's own goes, whatever the log
// says.
#pragma once

#include <functional>
#include <string>
#include <vector>

// True for a group name that names a folder inside the Programs folder
// (StaysInsideFolder): no drive or stream (":"), no leading separator, and
// every part has a character besides dots and blanks (".." would reach the
// Start menu or the profile above, "." or "" the Programs folder itself).
bool IsGroupFolderName(const std::string& groupName);
// True for a shortcut name ([General] Name) that is a plain file name: no
// "\", "/" or ":" and not dots and blanks alone, so the link it names lies
// in the folder it is looked for in; and no wildcard ("*", "?", and "<", ">"
// and '"', which a search takes as wildcards too), so a search for it finds
// that one link.
bool IsPlainShortcutName(const std::string& shortcutName);

enum class FolderKind { Missing, Plain, Link };  // Link: a junction or symbolic link

// True when userProfileDir ([BenutzerKonto] UserName) is a profile folder:
// the profiles directory and one plain name below it, not itself a folder
// link (which would lead into another account's folders), the system's own
// "All Users" link of Windows Vista aside.
bool IsProfileFolder(const std::string& userProfileDir, const std::string& profilesDir, FolderKind kind);

// The folders the shortcuts are looked for in; "" for none.
struct ShortcutFolders {
  std::string programs;  // holds the group folder
  std::string startMenu;
  std::string desktop;
};

// What the system tells about the account the shortcuts were made for.
struct ShortcutFacts {
  std::string userProfileDir;  // [BenutzerKonto] UserName as the log gives it
  std::string profilesDir;     // GetProfilesDirectory
  std::string startMenu;       // the running user's Start menu (CSIDL_STARTMENU); "" when unknown
  std::string desktop;         // the running user's desktop (CSIDL_DESKTOP); "" when unknown
  ShortcutFolders user;        // the shell's folders of the running user (CSIDL 2, 11, 16)
  ShortcutFolders common;      // and of all users (CSIDL 23, 22, 25)
};

// Where the shortcuts are looked for: the folders of a German Windows with
// the classic profile layout ("Startmenü\Programme", "Startmenü", "Desktop"
// in the profile, or the Start menu's "Programme"), each where it is a real
// folder; else the shell's folder of the running user, or of all users for
// the "All Users" profile. A log's profile that is no profile folder is not
// looked into. Nothing without a Start menu; no desktop without one.
ShortcutFolders ChooseShortcutFolders(const ShortcutFacts& facts,
                                      const std::function<FolderKind(const std::string&)>& kindOf);

// A file where a shortcut of the product may lie, as the system shows it.
struct LinkFile {
  bool directory;
  bool link;           // a junction or symbolic link
  std::string target;  // GetShellLinkTarget
};
// True for a shortcut of the product: a plain file (a file link would take
// its target along) whose link target lies in the program directory, given
// in its spellings (long and short). Nothing is the product's without one.
bool IsProductShortcut(const LinkFile& file, const std::vector<std::string>& programDir);

// Win32 from here.

// Deletes the uninstall entry startMenuFolder under HKEY_LOCAL_MACHINE
// "\Software\Microsoft\Windows\CurrentVersion\Uninstall" with all its
// subkeys, but only when its "UninstallString" names the running program.
// A name that is no entry name, another program's entry, a missing key and
// missing rights delete nothing; nothing is reported.
void DeleteUninstallKey(const std::string& startMenuFolder);

// Removes the product's links from the program group (then the group folder
// once it is empty) and its desktop and Start-menu shortcuts, in the folders
// ChooseShortcutFolders names, and tells the shell. Nothing happens without
// a group name; a link is deleted only when it is a product shortcut of
// programDir.
void RemoveGroupAndShortcuts(const std::string& groupName, const std::string& shortcutName,
                             const std::string& userProfileDir, const std::string& programDir);
