#include "uninstall/listed_files.h"

#include "engine/shared_file.h"
#include "system/helpers.h"
#include "system/os_error.h"
#include "system/run_log.h"
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

void RemoveListedFile(const std::string& file, ListedFilePlace place) {
  switch (place) {
    case ListedFilePlace::ProgramDir:
      LogRun((::DeleteFileA(file.c_str()) ? "Datei entfernt: " : "Datei bleibt (" + SysErrorMessage(::GetLastError()) + "): ") +
             file);
      break;
    case ListedFilePlace::WindowsDir:
      LogRun((ReleaseSharedFile(file) ? "Gemeinsame Datei entfernt: " : "Gemeinsame Datei bleibt (in Gebrauch bei anderen oder ohne Zähler): ") + file);
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
