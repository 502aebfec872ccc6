// The install log "Install1.log": the installer's record of one installation
// and the only one the uninstaller gets. A profile (INI) file in the install
// directory; a fresh log receives its sections in this order:
//
//   [General]        Name=<ProgName>             by the run's first file, when not empty
//   [InstalledFiles] File<n>=<installed path>    per file; n = progress position, path lower case
//   [Group]          Name=<GroupName>            with every file
//   [StartMenu]      Folder=<StartMenuFolder>    with every file
//   [BenutzerKonto]  UserName=<UserProfileDir>   once, after the shortcuts
//
// Every file handled gets its entry, placed, skipped or given up. The number
// is the progress position, so a file the run skips leaves a gap, and a log
// from an earlier, longer install keeps its higher entries.
#pragma once

#include <string>
#include <vector>

struct IniValue {
  std::string section;
  std::string key;
  std::string value;
};

// The path the installer writes the log under: AddBackslash(installPath) +
// "Install1.log", upper-cased (a to z only), so a new log is named
// "INSTALL1.LOG" on disk.
std::string InstallLogPath(const std::string& installPath);

// The key of a file's entry: "File" and the number in decimal.
std::string InstalledFileKey(int number);

// The values one handled file writes, in their order. [General] Name is among
// them only when progName is not empty.
std::vector<IniValue> InstallLogEntry(int number, const std::string& installedPath, const std::string& progName,
                                      const std::string& groupName, const std::string& startMenuFolder);

// Whether the text of a profile file holds each value as a line key=value
// (the key in any letter case), as the profile functions write it. The
// functions can answer success for a write that never reached the disk (a
// full disk leaves the file empty or cut short); only the file tells.
bool ProfileTextHolds(const std::string& text, const std::vector<IniValue>& values);

// ---- Win32 ----------------------------------------------------------------

// Enters one handled file in the log of the install directory installPath
// with ProgName, GroupName and StartMenuFolder, then empties ProgName, so that
// only a run's first file writes the name. Raises EIniFileException when the
// system refuses a write or the file on the disk does not hold what was
// written.
void WriteInstallLogEntry(const std::string& installPath, int number, const std::string& installedPath);

// Records UserProfileDir under [BenutzerKonto] UserName in the log of
// installPath, unless it is empty. Raises EIniFileException when the system
// refuses the write or the file on the disk does not hold it.
void WriteInstallLogUserAccount(const std::string& installPath);

// The uninstaller's file list: as many entries as [InstalledFiles] has lines
// (N), namely the values of "File1" to "File<N>"; a missing key gives "". So a
// log with a gap lists "" for it and leaves out its last entry.
std::vector<std::string> ReadInstalledFiles(const std::string& logFile);
