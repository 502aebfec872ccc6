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
// from an earlier, longer install keeps its higher entries; an earlier
// entry the run writes over is entered again after the run's own unless the
// run lists its file too. A value the log
// already holds is not written again: the file is what writing every value
// of every entry would leave. A file's new key goes in at the end of its
// section by the program itself, in the bytes the profile functions would
// write, since they rewrite the whole file at every write: so an entry costs
// the same however long the log.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
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

// The values a handled file's entry gives the log, in their order. [General]
// Name is among them only when progName is not empty.
std::vector<IniValue> InstallLogEntry(int number, const std::string& installedPath, const std::string& progName,
                                      const std::string& groupName, const std::string& startMenuFolder);

// What a log holds of the values a run enters: read from its text when the
// run starts, then kept up to date with every write.
struct LogHeld {
  // "section\key" in lower case -> the value; a key present with an empty
  // value is held as "", an [InstalledFiles] key line without "=" as a line
  // break, which no value holds.
  std::unordered_map<std::string, std::string> values;
};
// The values of a log's text as the profile functions read them: [General]
// Name, [Group] Name, [StartMenu] Folder and every [InstalledFiles] key line.
LogHeld HeldValues(const std::string& text);

// Whether a profile file's text opens with a byte-order mark (UTF-8, or
// UTF-16 in either byte order): the profile functions may then read and
// write it as Unicode, so its bytes are not the code page's.
bool OpensWithByteOrderMark(const std::string& text);

// The uninstaller's file list (see ReadInstalledFiles) of a log's text in the
// code page, from the values HeldValues read of it.
std::vector<std::string> ListedFiles(const std::string& text, const LogHeld& held);

// One install run as the copy step and the log writer see it: where the log
// lives, the names every entry carries, and what the run knows of the file.
// The install run starts one (StartCopyRun) and hands it from file to file.
struct CopyRun {
  CopyRun(std::string installDir, std::string name, std::string group, std::string folder)
      : installPath(std::move(installDir)), progName(std::move(name)), groupName(std::move(group)),
        startMenuFolder(std::move(folder)) {}

  std::string installPath;      // the log is InstallLogPath(installPath)
  std::string progName;         // [General] Name, entered by the first entry only
  std::string groupName;        // [Group] Name
  std::string startMenuFolder;  // [StartMenu] Folder
  bool firstEntryWritten = false;
  std::vector<std::string> earlierFiles;  // what the uninstaller would have removed before the run
  std::vector<std::string> entered;       // the run's path for each number, "" where it entered none
  LogHeld held;  // what an earlier install left, and what the run wrote since
  // What follows [InstalledFiles] in the file, as last read back whole (see
  // LogTail); a new key of that section goes in front of it. None while not
  // known.
  std::optional<std::string> tail;
};

// The writes a file's entry needs: the values of InstallLogEntry (the name
// only for the run's first entry) that the log does not already hold.
// Leaving out a value the file holds leaves the file as the write would.
std::vector<IniValue> EntryWrites(const CopyRun& run, int number, const std::string& installedPath);

// An entry of an earlier install the run has written over, entered again
// under a number no key holds.
struct KeptEntry {
  int number;
  std::string path;
  bool operator==(const KeptEntry& other) const { return number == other.number && path == other.path; }
};
// A re-install writes its own entries over the earlier log's numbers; the
// files the earlier install placed and this one does not (a file the new
// version no longer ships) would stay behind at the uninstall. Each such
// path, once, in the earlier order, with the lowest numbers neither log
// uses. earlier and entered as in CopyRun.
std::vector<KeptEntry> EarlierEntriesToKeep(const std::vector<std::string>& earlier,
                                            const std::vector<std::string>& entered);

// Notes the values as written.
void Hold(LogHeld& held, const std::vector<IniValue>& values);

// Whether the text of a profile file holds each value as a line key=value
// (the key in any letter case), as the profile functions write it. The
// functions can answer success for a write that never reached the disk (a
// full disk leaves the file empty or cut short); only the file tells.
bool ProfileTextHolds(const std::string& text, const std::vector<IniValue>& values);

// The text from the first section header after [InstalledFiles] to the end,
// "" when that section is last: what a key added at the section's end
// stands in front of. None when the section is missing, or when no line
// break ends its last line, which a key put in there would join.
std::optional<std::string> LogTail(const std::string& text);

// The line that enters an entry in the log when all it writes is a key
// [InstalledFiles] does not hold yet: "key=value" and CR LF, as the profile
// functions write it, to go in front of the known tail. None when the entry
// writes more, replaces a key, the tail is not known, or the value would not
// read back as written: a line break would start a line of its own, and the
// profile functions drop leading blanks.
std::optional<std::string> AddedEntryLine(const CopyRun& run, const std::vector<IniValue>& writes);

// ---- Win32 ----------------------------------------------------------------

// The run into installPath, with what its log holds so far (nothing when
// there is none).
CopyRun StartCopyRun(const std::string& installPath, const std::string& progName, const std::string& groupName,
                     const std::string& startMenuFolder);

// Enters one handled file in the run's log under number: what EntryWrites
// gives, as AddedEntryLine's line in front of the tail where there is one
// (the system's write result is the check), otherwise through the profile
// functions and read back whole. Raises EIniFileException when the system
// refuses a write or the disk did not take it; a line the disk has no room
// for leaves the log as it was.
void WriteInstallLogEntry(CopyRun& run, int number, const std::string& installedPath);

// Enters again, after the run's own entries, what EarlierEntriesToKeep gives.
void KeepEarlierLogEntries(CopyRun& run);

// Records userProfileDir under [BenutzerKonto] UserName in the log of
// installPath, unless it is empty. Raises EIniFileException when the system
// refuses the write or the file on the disk does not hold it.
void WriteInstallLogUserAccount(const std::string& installPath, const std::string& userProfileDir);

// The uninstaller's file list: as many entries as [InstalledFiles] has lines
// (N), namely the values of "File1" to "File<N>"; a missing key gives "". So a
// log with a gap lists "" for it and leaves out its last entry.
std::vector<std::string> ReadInstalledFiles(const std::string& logFile);
