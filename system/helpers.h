// Path, text and list helpers, timed waits, file and folder walks, the INI
// write test, the settings-file location, and the facts about the running Windows (version,
// administrator rights, profile and special folders).
//
// The text helpers are portable and build natively; everything that asks the
// system is defined in the Win32 build only. Texts are ANSI (code page 1252),
// positions count from 1 where a caller sees them.
#pragma once

#include <string>
#include <vector>

// ---- Text and list helpers (portable) ------------------------------------

// "" stays ""; a text ending in "\" is unchanged; otherwise "\" is appended.
std::string AddBackslash(const std::string& path);
// Removes one trailing "\" (only one); otherwise the text is unchanged.
std::string RemoveBackslash(const std::string& path);
// Replaces every occurrence of find, left to right; inserted text is never
// searched again, and an empty find matches nothing. Case-insensitive
// matching uses the system's ANSI upper-casing.
std::string ReplaceAll(const std::string& source, const std::string& find,
                       const std::string& replacement, bool caseSensitive);
// Fields of a separated list: "" has 0, "a;b" and "a;b;" have 2, ";" has 1.
int CountFields(char separator, const std::string& text);
// Field n (from 1); empty for n < 1, beyond the last field, or an empty field.
std::string GetField(char separator, const std::string& text, int n);
// Upper-cases with the system's ANSI rules (code page 1252 letters included).
std::string AnsiUpperCase(const std::string& text);

// Path pieces. The directory part ends at the last "\" only, so "D:X.EXE" and
// "D:" have none; the name starts after the last "\" or ":", so a drive
// alone has no name; the extension starts at the last "." after both.
std::string ExtractFilePath(const std::string& path);  // up to and including the last "\"
std::string ExtractFileName(const std::string& path);  // after the last "\" or ":"
std::string ExtractFileExt(const std::string& path);   // from the last "." of the name, or ""
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// A name relative to a folder ("Hilfe\DEMO.HLP") that stays inside it: no
// ":" (a drive, or a stream of a file), no leading separator, and every part
// between separators names one entry: not empty (a doubled or trailing
// separator) and not made of dots and blanks alone, which Windows trims to
// "." or "..". "/" separates like "\". The install plan, the copy step, the
// uninstaller and the medium check all judge names by this one rule.
bool StaysInsideFolder(const std::string& name);
// The part rule of StaysInsideFolder alone.
bool IsPlainNamePart(const std::string& part);

// The name GetWindowsVersionName gives for what GetVersionExA reports
// (platform 1: Windows 95, 98, ME; 2: the NT family); csdVersion's second
// character "A" marks Windows 98 Second Edition.
std::string WindowsVersionNameOf(unsigned long platformId, unsigned long major, unsigned long minor,
                                 const std::string& csdVersion);
// Every name WindowsVersionNameOf gives, oldest system first, "Unknown" last.
const std::vector<std::string>& WindowsVersionNames();

// ---- Program directory, waits, settings location (Win32) ----------------

// Full path of the running program, and its directory with trailing
// backslash, as the ANSI functions can use them (see AnsiPathFor); "" when
// the path cannot be written in the ANSI code page at all.
std::string GetAppPath();
std::string GetAppDir();
// longPath when the ANSI code page writes it exactly; otherwise its short
// (8.3) form shortPath, which Windows makes from characters the code page has;
// "" when that cannot be written either (a volume without short names gives
// back the long path).
std::string AnsiPathFor(const std::wstring& longPath, const std::wstring& shortPath);
bool FileExists(const std::string& path);       // an existing file, not a directory
// The size of a file in bytes; 0 when it cannot be opened.
unsigned long long FileSizeOf(const std::string& path);
bool DirectoryExists(const std::string& path);
// Returns when more than ms milliseconds have passed (wrap-safe tick
// difference); processes pending window messages on every pass if asked.
void WaitMs(unsigned ms, bool pumpMessages);
// Processes every pending window message of this thread once.
void ProcessMessages();
// A probe file's path in folder: stem + extension, or, when something of
// that name is there already (a user's file or folder), the first of stem +
// "1" + extension, stem + "2" + extension, ... that is not. A probe deletes
// what it writes, so it must write nothing that was there before.
std::string FreshProbePath(const std::string& folder, const std::string& stem, const std::string& extension);
// True when an INI file can be written in the program's own directory
// (probe "IniTest").
bool IniWriteTest();
// Creates a directory together with every missing parent; true when it exists afterwards.
bool ForceDirectories(const std::string& directory);

// ---- Files and folders (Win32) ------------------------------------------

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

// Location of this program's settings INI file, worked out at start-up.
extern std::string SettingsFile;
extern std::string SettingsDir;
// Works out the settings location at start-up (may create a profile folder).
void LocateSettingsFile();

// ---- Windows version and user folders (Win32) ----------------------------

// One of "Windows 95", "Windows 98", "Windows 98SE", "Windows ME",
// "Windows NT", "Windows 2000", "Windows XP", "Windows Vista", "Unknown".
std::string GetWindowsVersionName();
bool IsAdministrator();
bool IsWindowsNT();
// Folder that holds one folder per account; never empty.
std::string GetProfilesDirectory();
// Login name of the current account; "All Users" when the system has none.
std::string GetUserLoginName();
// Windows directory without trailing backslash.
std::string GetWindowsDir();
// File-system path of a shell special folder (CSIDL number); "" if none.
std::string GetSpecialFolder(int csidl);
