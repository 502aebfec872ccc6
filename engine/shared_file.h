// Use counts of the files an install places in the Windows directory, which
// other products may have placed or use as well. Windows keeps them under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs,
// one DWORD value per file named by its full path: an install adds one, an
// uninstall takes one away and deletes the file only when none is left.
//
// The install log lies in the program directory, which its user may be able
// to write, so it cannot tell which counts an install took. Each count taken
// is recorded instead beside the uninstall entry, where only those who may
// install can write:
//
//   HKLM\...\Uninstall\<entry>\SharedFiles
//     Uninstaller = <the uninstaller's path>     whose run may release them
//     <placed path> = DWORD 1                    one value per counted file
//
// Value names are compared as Windows compares them, without regard to
// case, so a file is counted and recorded once however often it is listed.
#pragma once

#include <optional>
#include <string>
#include <vector>

constexpr char kSharedDllsKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kRecordsSubkey[] = "SharedFiles";
constexpr char kRecordsUninstallerValue[] = "Uninstaller";

// The records' key for an uninstall entry name (IsUninstallEntryName).
std::string SharedFileRecordsKey(const std::string& entryName);

// A file's use count as the registry holds it. Only a 4-byte REG_DWORD is a
// number; any other type or size is another program's business.
struct SharedCount {
  enum class State { Missing, Number, Unreadable };
  State state = State::Missing;
  unsigned long value = 0;  // for Number
};

// The count to write once the install has placed the file; none when the
// install takes no count: the file is recorded as counted already and its
// count is still there, the value cannot be read as a number (it stays as
// it is), or the count is at its highest (it never wraps, and so never
// reaches zero either). existedBefore:
// the file was there before the copy; then some other product placed it and
// it never becomes this one's alone, even when its count says 0 or nothing.
std::optional<unsigned long> CountAfterInstall(SharedCount count, bool existedBefore, bool recorded);

// What the uninstall does with a file whose count this install took.
struct SharedFileRelease {
  enum class Step {
    LeaveAlone,  // no number to take one from (missing, unreadable, 0): value and file stay
    CountDown,   // others still use it: count is written back, the file stays
    Remove,      // the count reaches zero: the file goes, then the value
  };
  Step step;
  unsigned long count;  // for CountDown
};
SharedFileRelease ReleaseOf(SharedCount count);

// ---- Win32 ----------------------------------------------------------------

// Counts a file the run has placed in the Windows directory (path as placed)
// and records the count under entryName, naming uninstallerPath as the one
// that may release it. Nothing is counted that cannot be recorded (no entry
// name, no rights): a count nobody releases would keep the file forever, and
// the file stays when it is not counted anyway.
void CountSharedFile(const std::string& path, bool existedBefore, const std::string& entryName,
                     const std::string& uninstallerPath);

// The recorded files of entryName and the uninstaller the records name; none
// when there are no records.
struct SharedFileRecords {
  std::string uninstaller;
  std::vector<std::string> files;
};
SharedFileRecords ReadSharedFileRecords(const std::string& entryName);

// Releases the count of a recorded file (ReleaseOf) and forgets the record,
// except when the file is to go and cannot be deleted (in use): then the
// file, its count and its record stay, and the result is false.
bool ReleaseSharedFile(const std::string& entryName, const std::string& path);

// Deletes the records' key of entryName once it records no file, and the
// entry's key too when nothing else is left in it (an install that
// registered no entry of its own).
void ForgetSharedFileRecords(const std::string& entryName);
