#include "uninstall/listed_files.h"

#include "engine/shared_file.h"
#include "system/helpers.h"
#include "system/win.h"
#include "uninstall/program_dir.h"

#include <algorithm>

namespace {

using Walk = ListedFileLookup::Walk;

bool IsLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Walks from path up to the first of folders it meets. A link (junction,
// symbolic link) on the way leads out of the folder: what lies behind it lies
// elsewhere, and a file link may take its target with it. The first step is
// asked under firstStepOnDisk, its spelling in its folder.
Walk WalkUp(std::string path, const std::vector<std::string>& folders, const std::string& firstStepOnDisk = "") {
  std::replace(path.begin(), path.end(), '/', '\\');
  bool first = true;
  for (std::string step = RemoveBackslash(path); !step.empty(); step = RemoveBackslash(ExtractFilePath(step))) {
    if (std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameFolder(step, f); }))
      return Walk::Clear;
    if (IsLink(first && !firstStepOnDisk.empty() ? firstStepOnDisk : step)) return Walk::ThroughLink;
    first = false;
  }
  return Walk::NoFolder;
}

}  // namespace

ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared) {
  return {FolderSpellings(ownDir), ownDirShared, FolderSpellings(GetWindowsDir())};
}

const ListedFileLookup::Folder& ListedFileLookup::FolderOf(const std::string& folderPath) {
  const auto found = listed_.find(folderPath);
  if (found != listed_.end()) return found->second;
  std::vector<FolderNames::Entry> entries;
  for (const DirEntry& entry : FindEntries(folderPath + "*")) entries.push_back({ExtractFileName(entry.path), entry.link});
  // The walk from a file goes on from its folder, the same for every file there.
  return listed_
      .emplace(folderPath, Folder{FolderNames(std::move(entries)),
                                  {WalkUp(folderPath, folders_.programDir), WalkUp(folderPath, folders_.windowsDir)}})
      .first->second;
}

LocatedFile ListedFileLookup::Locate(const std::string& file) {
  // The short form costs the system a look into the folder: asked only where
  // the log's spelling does not decide.
  std::string shortPath;
  ListedFilePlace place = PlaceOfListedFile(file, "", folders_);
  if (place == ListedFilePlace::Elsewhere && !file.empty()) {
    shortPath = ShortPathName(file);
    place = PlaceOfListedFile(file, shortPath, folders_);
  }
  if (place == ListedFilePlace::Elsewhere) return {file, file, place};

  std::string path = file;
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::string folderPath = ExtractFilePath(path);
  const Folder& folder = FolderOf(folderPath);
  const FolderNames::Entry* entry = folder.names.Find(ExtractFileName(path));
  const std::string diskPath = entry ? folderPath + entry->name : file;
  const bool inProgramDir = place == ListedFilePlace::ProgramDir;
  const std::vector<std::string>& base = inProgramDir ? folders_.programDir : folders_.windowsDir;

  // The log's spelling, or else the short form, is the one that met the folder.
  Walk walk = std::any_of(base.begin(), base.end(), [&](const std::string& f) { return SameFolder(path, f); })
                  ? Walk::Clear
              : IsLink(diskPath) ? Walk::ThroughLink
                                 : folder.walks[inProgramDir ? 0 : 1];
  if (walk == Walk::NoFolder) {
    if (shortPath.empty()) shortPath = ShortPathName(file);
    walk = WalkUp(shortPath, base);
  }
  return {file, diskPath, walk == Walk::Clear ? place : ListedFilePlace::Elsewhere};
}

void RemoveListedFile(const LocatedFile& file) {
  switch (file.place) {
    case ListedFilePlace::ProgramDir:
      ::DeleteFileA(file.diskPath.c_str());
      break;
    case ListedFilePlace::WindowsDir:
      ReleaseSharedFile(file.logged);
      break;
    case ListedFilePlace::Elsewhere:
      break;
  }
}

bool AnythingLeft(const std::vector<std::string>& programFiles, const std::string& removedDir) {
  const auto left = [](const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && !IsRunningProgram(path);
  };
  if (std::any_of(programFiles.begin(), programFiles.end(), left)) return true;
  if (removedDir.empty()) return false;
  // One level tells: a subfolder with anything left in it stays too.
  std::vector<std::string> entries;
  ListDirTree(AddBackslash(removedDir) + "*.*", false, entries);
  return std::any_of(entries.begin(), entries.end(), left);
}
