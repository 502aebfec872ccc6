#include "uninstall/listed_files.h"

#include "engine/install_log.h"
#include "engine/shared_file.h"
#include "system/helpers.h"
#include "system/win.h"
#include "uninstall/program_dir.h"

#include <algorithm>

namespace {

enum class Walk { Clear, ThroughLink, NoFolder };

// Walks from path up to the first of folders it meets. A link (junction,
// symbolic link) on the way leads out of the folder: what lies behind it lies
// elsewhere, and a file link may take its target with it.
Walk WalkUp(std::string path, const std::vector<std::string>& folders) {
  std::replace(path.begin(), path.end(), '/', '\\');
  for (std::string step = RemoveBackslash(path); !step.empty(); step = RemoveBackslash(ExtractFilePath(step))) {
    if (std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameFolder(step, f); }))
      return Walk::Clear;
    const DWORD attributes = ::GetFileAttributesA(step.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return Walk::ThroughLink;
  }
  return Walk::NoFolder;
}

}  // namespace

ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared) {
  return {FolderSpellings(ownDir), ownDirShared, FolderSpellings(GetWindowsDir())};
}

ListedFilePlace PlaceOfListedFile(const std::string& file, const ListedFileFolders& folders) {
  const std::string shortPath = file.empty() ? std::string() : ShortPathName(file);
  const ListedFilePlace place = PlaceOfListedFile(file, shortPath, folders);
  if (place == ListedFilePlace::Elsewhere) return place;
  const auto& base = place == ListedFilePlace::ProgramDir ? folders.programDir : folders.windowsDir;
  // The log's spelling, or else the short form, is the one that met the folder.
  Walk walk = WalkUp(file, base);
  if (walk == Walk::NoFolder) walk = WalkUp(shortPath, base);
  return walk == Walk::Clear ? place : ListedFilePlace::Elsewhere;
}

ListedFileAfter RemoveListedFile(const std::string& file, ListedFilePlace place) {
  if (place == ListedFilePlace::ProgramDir) ::DeleteFileA(file.c_str());
  // A folder is no listed file: the copy run lists none, and none is deleted.
  const DWORD attributes = ::GetFileAttributesA(file.c_str());
  const bool there = place != ListedFilePlace::WindowsDir && attributes != INVALID_FILE_ATTRIBUTES &&
                     !(attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsRunningProgram(file);
  return {file, place, there};
}

std::vector<std::string> ReleaseRecordedSharedFiles(const std::string& entryName) {
  const SharedFileRecords records = ReadSharedFileRecords(entryName);
  std::vector<std::string> inUse;
  if (records.uninstaller.empty() || !IsRunningProgram(records.uninstaller)) return inUse;
  for (const std::string& file : records.files)
    if (!ReleaseSharedFile(entryName, file)) inUse.push_back(file);
  return inUse;
}

void KeepInLog(const std::string& logFile, const std::vector<std::string>& files) {
  // A write refused leaves the whole list, which a later run works through
  // just as well: what is gone stays gone.
  if (!::WritePrivateProfileStringA("InstalledFiles", nullptr, nullptr, logFile.c_str())) return;
  for (std::size_t i = 0; i < files.size(); ++i)
    ::WritePrivateProfileStringA("InstalledFiles", InstalledFileKey(static_cast<int>(i) + 1).c_str(),
                                 files[i].c_str(), logFile.c_str());
}

bool AnythingLeft(const std::string& removedDir) {
  if (removedDir.empty()) return false;
  // One level tells: a subfolder with anything left in it stays too.
  std::vector<std::string> entries;
  ListDirTree(AddBackslash(removedDir) + "*.*", false, entries);
  return std::any_of(entries.begin(), entries.end(), [](const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && !IsRunningProgram(path);
  });
}
