#include "uninstall/listed_files.h"

#include "engine/install_log.h"
#include "engine/shared_file.h"
#include "system/helpers.h"
#include "system/run_log.h"
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
// elsewhere, and a file link may take its target with it.
Walk WalkUp(std::string path, const std::vector<std::string>& folders) {
  std::replace(path.begin(), path.end(), '/', '\\');
  for (std::string step = RemoveBackslash(path); !step.empty(); step = RemoveBackslash(ExtractFilePath(step))) {
    if (std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameFolder(step, f); }))
      return Walk::Clear;
    if (IsLink(step)) return Walk::ThroughLink;
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
  const std::string shortPath = ShortPathName(RemoveBackslash(folderPath));
  return listed_
      .emplace(folderPath, Folder{FolderNames(std::move(entries)), shortPath.empty() ? "" : AddBackslash(shortPath),
                                  {WalkUp(folderPath, folders_.programDir), WalkUp(folderPath, folders_.windowsDir)}})
      .first->second;
}

LocatedFile ListedFileLookup::Locate(const std::string& file) {
  if (file.empty()) return {file, file, ListedFilePlace::Elsewhere};
  std::string path = file;
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::string folderPath = ExtractFilePath(path);
  const Folder* folder = folderPath.empty() ? nullptr : &FolderOf(folderPath);
  const FolderNames::Entry* entry = folder ? folder->names.Find(ExtractFileName(path)) : nullptr;
  // The same file under the name its folder holds: only the case differs, which
  // no decision below looks at.
  const std::string diskPath = entry ? folderPath + entry->name : file;
  // Only its folder decides where a short form lies: the system's short form
  // of each file costs a look into the folder, its folder's is asked once.
  const std::string shortPlace =
      !entry ? ShortPathName(file) : folder->shortPath.empty() ? "" : folder->shortPath + entry->name;
  const ListedFilePlace place = PlaceOfListedFile(file, shortPlace, folders_);
  if (place == ListedFilePlace::Elsewhere) return {file, diskPath, place};

  const bool inWindowsDir = place == ListedFilePlace::WindowsDir;
  const std::vector<std::string>& base = inWindowsDir ? folders_.windowsDir : folders_.programDir;
  // The log's spelling, or else the short form, is the one that met the folder.
  Walk walk = std::any_of(base.begin(), base.end(), [&](const std::string& f) { return SameFolder(path, f); })
                  ? Walk::Clear
              : IsLink(diskPath) ? Walk::ThroughLink
              : folder           ? folder->walks[inWindowsDir ? 1 : 0]
                                 : WalkUp(folderPath, base);
  if (walk == Walk::NoFolder) walk = WalkUp(entry ? ShortPathName(diskPath) : shortPlace, base);
  return {file, diskPath, walk == Walk::Clear ? place : ListedFilePlace::Elsewhere};
}

ListedFileAfter RemoveListedFile(const LocatedFile& file) {
  // A file deleted is gone: asking after it would cost Wine a look through
  // its whole folder.
  if (file.place == ListedFilePlace::ProgramDir && ::DeleteFileA(file.diskPath.c_str())) {
    LogRun("Datei entfernt: " + file.diskPath);
    return {file.logged, file.place, false};
  }
  if (file.place == ListedFilePlace::WindowsDir) return {file.logged, file.place, false};
  // A folder is no listed file: the copy run lists none, and none is deleted.
  const DWORD attributes = ::GetFileAttributesA(file.diskPath.c_str());
  const bool there = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                     !IsRunningProgram(file.diskPath);
  if (there) LogRun("Datei bleibt (in Gebrauch oder außerhalb des Programmverzeichnisses): " + file.diskPath);
  return {file.logged, file.place, there};
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
