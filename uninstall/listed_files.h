// Which files of the install log the uninstaller deletes, and whether the run
// left any of them behind. The log lies in the program directory, which the
// user may be able to write where the product was installed into a profile,
// so the log alone must not decide what is deleted, often by an administrator.
#pragma once

#include <string>
#include <vector>

// The folders a listed file may lie in, each in every spelling the log may
// use (long and short).
struct ListedFileFolders {
  std::vector<std::string> programDir;  // the uninstaller's own directory
  bool programDirShared = false;        // a root or protected folder: only files directly in it count
  std::vector<std::string> windowsDir;  // where the [Windows] entries went
};

enum class ListedFilePlace { Elsewhere, ProgramDir, WindowsDir };

// Where a listed file lies, by its spelling in the log or by its short form
// (shortPath, "" when unknown). Elsewhere, so never deleted: a value outside
// both folders, the folder itself, and any path with a component that could
// lead out of its folder or name something else: "..", ".", dots and blanks
// alone, an empty one (a doubled or trailing backslash), or a ":" past the
// drive. "/" separates like "\".
ListedFilePlace PlaceOfListedFile(const std::string& file, const std::string& shortPath,
                                  const ListedFileFolders& folders);

// ---- Win32 ----------------------------------------------------------------

// The uninstaller's own directory (shared when the uninstaller does not offer
// it for removal) and the Windows directory, each also by its short name.
ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared);
// PlaceOfListedFile with the short form the system gives for the file; and
// Elsewhere for a file behind a link (junction, symbolic link) inside the
// folder, or a link itself, which leads out of it.
ListedFilePlace PlaceOfListedFile(const std::string& file, const ListedFileFolders& folders);
// Deletes a listed file by its place: in the program directory at once; in
// the Windows directory, whose files other products share, only when its use
// count reaches zero (ReleaseSharedFile), so a file without a count stays.
// Elsewhere nothing.
void RemoveListedFile(const std::string& file, ListedFilePlace place);
// True when one of programFiles is still there (the running uninstaller
// aside, which the script removes), or, when removedDir is not empty,
// anything but the running uninstaller is left in that directory.
bool AnythingLeft(const std::vector<std::string>& programFiles, const std::string& removedDir);
