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
// (shortPath, "" when unknown); the Windows directory first, whose files go
// by their use counts wherever the uninstaller lies. Elsewhere, so never
// deleted: a value outside both folders, the folder itself, and any path
// with a component that could lead out of its folder or name something else:
// "..", ".", dots and blanks alone, an empty one (a doubled or trailing
// backslash), or a ":" past the drive. "/" separates like "\".
ListedFilePlace PlaceOfListedFile(const std::string& file, const std::string& shortPath,
                                  const ListedFileFolders& folders);

// A listed file once the run has deleted what it deletes.
struct ListedFileAfter {
  std::string file;  // as the log spells it
  ListedFilePlace place;
  bool there;  // still there, the running uninstaller aside (the script takes it)
};

// How a run ends: what stays, and whether it may say it is done.
struct RemovalEnd {
  // What a later run may still remove: the program files still there and
  // the shared files in use whose counts this install took (in the log's
  // spelling, lower case). While any stays, the uninstall entry, the
  // uninstaller and a log listing just these stay too, and the directory is
  // not offered, so that running the uninstaller again finishes the job.
  std::vector<std::string> staying;
  // Every listed file is gone: none stays, and none lies elsewhere still
  // there (never this program's to delete, so no later run removes it
  // either). Files of the Windows directory count by their records alone.
  bool complete = true;
};
// sharedInUse: the recorded files of the Windows directory that stayed.
RemovalEnd EndOfRemoval(const std::vector<ListedFileAfter>& listed, const std::vector<std::string>& sharedInUse);

// The closing warning of a run that left files in use behind.
std::string UnfinishedRemovalText(const std::vector<std::string>& staying);

// ---- Win32 ----------------------------------------------------------------

// The uninstaller's own directory (shared when the uninstaller does not offer
// it for removal) and the Windows directory, each also by its short name.
ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared);
// PlaceOfListedFile with the short form the system gives for the file; and
// Elsewhere for a file behind a link (junction, symbolic link) inside the
// folder, or a link itself, which leads out of it.
ListedFilePlace PlaceOfListedFile(const std::string& file, const ListedFileFolders& folders);
// Deletes a listed file of the program directory and tells what is left of
// it. Files of the Windows directory are left to their records
// (ReleaseRecordedSharedFiles), files elsewhere are never touched.
ListedFileAfter RemoveListedFile(const std::string& file, ListedFilePlace place);
// Releases the use counts recorded under the uninstall entry entryName
// (ReleaseSharedFile), when the records name the running uninstaller: the
// entry's name comes from the log, which must not lead to another product's
// records. The files that stay in use, as recorded.
std::vector<std::string> ReleaseRecordedSharedFiles(const std::string& entryName);
// Rewrites the log's [InstalledFiles] to list just files, from File1.
void KeepInLog(const std::string& logFile, const std::vector<std::string>& files);
// True when anything but the running uninstaller is left in removedDir.
bool AnythingLeft(const std::string& removedDir);
