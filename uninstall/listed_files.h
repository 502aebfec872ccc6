// Which files of the install log the uninstaller deletes, and whether the run
// left any of them behind. The log lies in the program directory, which the
// user may be able to write where the product was installed into a profile,
// so the log alone must not decide what is deleted, often by an administrator.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
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

// One folder's entries as listed once, and the entry a name from the log
// finds. The log holds paths in lower case; Windows finds a name in any case,
// and so does Wine, but by reading the whole folder for every name whose case
// differs. So each folder is listed once and its files are handled by the
// names it holds.
class FolderNames {
public:
  struct Entry {
    std::string name;
    bool link;  // a junction or symbolic link
  };
  explicit FolderNames(std::vector<Entry> entries);
  // The entry spelled as name, else the first one whose spelling differs
  // from it in the case of ASCII letters alone; nullptr when there is none
  // (other case differences are left to the system).
  const Entry* Find(const std::string& name) const;

private:
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> exact_;
  std::unordered_map<std::string, std::size_t> folded_;
};

// ---- Win32 ----------------------------------------------------------------

// The uninstaller's own directory (shared when the uninstaller does not offer
// it for removal) and the Windows directory, each also by its short name.
ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared);
// A listed file's place, and the path it is deleted by.
struct LocatedFile {
  std::string logged;    // as the log has it
  std::string diskPath;  // as its folder spells it; logged when the listing lacks it
  ListedFilePlace place;
};

// Locates the listed files, each folder listed once (FolderNames) and its
// walk up to the program or Windows directory made once.
class ListedFileLookup {
public:
  explicit ListedFileLookup(ListedFileFolders folders) : folders_(std::move(folders)) {}
  // PlaceOfListedFile with the short form the system gives for the file where
  // the log's spelling does not decide; and Elsewhere for a file behind a
  // link (junction, symbolic link) inside the folder, or a link itself, which
  // leads out of it.
  LocatedFile Locate(const std::string& file);

  enum class Walk { Clear, ThroughLink, NoFolder };

private:
  struct Folder {
    FolderNames names;
    Walk walks[2];  // up from the folder to the program and to the Windows directory
  };
  const Folder& FolderOf(const std::string& folderPath);

  ListedFileFolders folders_;
  std::unordered_map<std::string, Folder> listed_;  // by the folder's path as logged
};

// Deletes a listed file of the program directory and tells what is left of
// it. Files of the Windows directory are left to their records
// (ReleaseRecordedSharedFiles), files elsewhere are never touched.
ListedFileAfter RemoveListedFile(const LocatedFile& file);
// Releases the use counts recorded under the uninstall entry entryName
// (ReleaseSharedFile), when the records name the running uninstaller: the
// entry's name comes from the log, which must not lead to another product's
// records. The files that stay in use, as recorded.
std::vector<std::string> ReleaseRecordedSharedFiles(const std::string& entryName);
// Rewrites the log's [InstalledFiles] to list just files, from File1.
void KeepInLog(const std::string& logFile, const std::vector<std::string>& files);
// True when anything but the running uninstaller is left in removedDir.
bool AnythingLeft(const std::string& removedDir);
