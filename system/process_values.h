// The process-wide values that the windows share. Every value lives for the
// whole process.
#pragma once

#include <string>

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
// What the command line of an unattended deployment asks for, after "/s".
extern std::string GivenInstallDir;  // /DIR=: the install directory, no fallback folder
extern bool AllUsersGiven;           // /ALLUSERS: group and shortcuts for all users
extern bool SuppressMsgBoxes;        // /SUPPRESSMSGBOXES: no box; each question answered soundly
extern bool RestartNeeded;           // a file held open is replaced at the next start

// Display formats of dates and times ("dd.mm.yyyy", "hh:mm").
extern const char* const ShortDateFormat;
extern const char* const ShortTimeFormat;

// Sets ExeDir and CopyErrors at start-up.
void InitProcessValues();
