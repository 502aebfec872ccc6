// What the installation registered outside its directory: the uninstall
// registration key, the program group and the desktop and Start-menu
// shortcuts.
#pragma once

#include <string>

// True for a group name that names a folder inside the Programs folder
// (StaysInsideFolder): no drive, no leading separator, and every part has a
// character besides dots and blanks (".." would reach the Start menu or the
// profile above, "." or "" the Programs folder itself).
bool IsGroupFolderName(const std::string& groupName);

// Win32 from here.

// Deletes the uninstall entry startMenuFolder under HKEY_LOCAL_MACHINE
// "\Software\Microsoft\Windows\CurrentVersion\Uninstall" with all its
// subkeys. A name that is no entry name, a missing key and missing rights
// delete nothing; nothing is reported.
void DeleteUninstallKey(const std::string& startMenuFolder);

// Removes the program group and the desktop and Start-menu shortcuts of the
// installation, and tells the shell. Nothing happens without a group name or
// without a Start menu. The folders are looked for where the uninstaller has
// always looked (the profile's German "Startmenü\Programme", "Startmenü" and
// "Desktop", or the current user's Start menu and desktop without a profile
// folder); where such a folder does not exist, in the shell folders the
// installer used for that account (the common ones for the all-users
// profile), and there only links whose target lies inside programDir are
// deleted, and the group folder only once it is empty.
void RemoveGroupAndShortcuts(const std::string& groupName, const std::string& shortcutName,
                             const std::string& userProfileDir, const std::string& programDir);
