// Use counts of the files an install places in the Windows directory, which
// other products may have placed or use as well. Windows keeps them under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDLLs,
// one DWORD value per file named by its full path: an install adds one, an
// uninstall takes one away and deletes the file only when none is left.
#pragma once

#include <optional>
#include <string>

constexpr char kSharedDllsKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The count once the install has placed the file; none when it stays as it
// is. count: the value now (none when there is none); existedBefore: the
// file was there before the copy, so some other product placed it and it
// never counts as this one's alone; listedBefore: the log of the install
// directory lists it already, so a re-install counted it before.
std::optional<unsigned long> CountAfterInstall(std::optional<unsigned long> count, bool existedBefore,
                                               bool listedBefore);

// What the uninstall does with a listed file in the Windows directory.
struct SharedFileRelease {
  enum class Step {
    Keep,       // no count (never counted, or it could not be written): the file stays
    CountDown,  // others still use it: count is written back, the file stays
    Remove,     // the count reached zero: the value goes, then the file
  };
  Step step;
  unsigned long count;  // for CountDown
};
SharedFileRelease ReleaseOf(std::optional<unsigned long> count);

// ---- Win32 ----------------------------------------------------------------

// Counts a file the run has placed in the Windows directory (path as placed).
// A count that cannot be written, for want of rights, is left out silently:
// the uninstall then keeps the file.
void CountSharedFile(const std::string& path, bool existedBefore, bool listedBefore);

// Takes one from the file's count and deletes the file when none is left;
// true when the file was deleted.
bool ReleaseSharedFile(const std::string& path);
