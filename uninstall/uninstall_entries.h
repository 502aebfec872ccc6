// What the installation registered outside its directory: the uninstall
// registration key, the program group and the desktop and Start-menu
// shortcuts.
#pragma once

#include <string>

// True for a name that addresses one entry below the key that holds every
// program's uninstall entry: not empty and without an empty part (a leading,
// trailing or doubled backslash would reach that key itself).
bool IsUninstallEntryName(const std::string& startMenuFolder);

// Win32 from here.

// Deletes the uninstall entry startMenuFolder under HKEY_LOCAL_MACHINE
// "\Software\Microsoft\Windows\CurrentVersion\Uninstall" with all its
// subkeys. A name that is no entry name, a missing key and missing rights
// delete nothing; nothing is reported.
void DeleteUninstallKey(const std::string& startMenuFolder);
