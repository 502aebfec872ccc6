// Unit Data: the process-wide values that the windows share, and the
// uninstaller's file helpers. Every value lives for the whole process.
#pragma once

#include <string>
#include <vector>

extern bool AutoMode;               // "/s" or Shift+Ctrl at start
extern std::string ProgName;        // [General] Name, shown and logged
extern std::string ShortcutName;    // [General] Name, base name of shortcut files
extern std::string DefaultPath;     // proposed install directory
extern std::string StartMenuFolder; // uninstall registry subkey
extern std::string GroupName;       // program group folder
extern bool MobileOption;           // mobile mode offered
extern bool OnlyMobile;             // mobile mode forced
extern std::string InstallPath;     // install directory of this run
extern std::string MainProgFile;    // full path of the installed main program
extern std::string OldGroup;        // ";"-separated earlier program groups
extern bool CopyErrors;             // at least one file was given up (uninstaller: left behind)
extern std::string UserProfileDir;  // profile folder the shortcuts were made for
extern std::string ExeDir;          // directory of the running program, trailing "\"

// Display formats of dates and times ("dd.mm.yyyy", "hh:mm").
extern const char* const ShortDateFormat;
extern const char* const ShortTimeFormat;

// Start-up of the unit: ExeDir, CopyErrors.
void DataStartup();

// Processes pending window messages, repeatedly, until more than ms
// milliseconds have passed (at least once).
void DelayMs(unsigned ms);
// Clears a read-only attribute (only that one), leaving the others.
void ClearReadOnly(const std::string& path);
// Clears a read-only attribute, then deletes the file.
bool DeleteFileForced(const std::string& path);

// An entry of a directory as every walk over directories sees it. A folder
// link (junction or symbolic link) is an entry of its own, listed and removed
// as a link and never entered: nothing outside a tree is listed or deleted.
struct DirEntry {
  std::string path;  // the mask's directory part + the entry's name
  bool directory;
  bool link;
};
// The entries matching mask (a directory + "\" + a file mask), of every
// attribute, in the order the file system lists them, without "." and "..".
std::vector<DirEntry> FindEntries(const std::string& mask);

// Deletes the directory with everything below it; reports nothing.
void DeleteDirTree(const std::string& directory);
