#include "uninstall/listed_files.h"

#include "system/Kv_tools.h"
#include "system/win.h"
#include "uninstall/program_dir.h"

#include <algorithm>

namespace {

std::vector<std::string> Spellings(const std::string& folder) {
  std::vector<std::string> spellings = {RemoveBackslash(folder)};
  const std::string shortForm = ShortPathName(folder);
  if (!shortForm.empty() && !SameFolder(shortForm, folder)) spellings.push_back(RemoveBackslash(shortForm));
  return spellings;
}

// The log spells the uninstaller as the installer wrote it, the system as it
// was started: compare the short forms too.
bool IsRunningProgram(const std::string& path) {
  const std::string self = GetAppPath();
  const std::string shortPath = ShortPathName(path);
  return SameFolder(path, self) || (!shortPath.empty() && SameFolder(shortPath, ShortPathName(self)));
}

}  // namespace

ListedFileFolders ListedFileFoldersOf(const std::string& ownDir, bool ownDirShared) {
  return {Spellings(ownDir), ownDirShared, Spellings(GetWindowsDir())};
}

ListedFilePlace PlaceOfListedFile(const std::string& file, const ListedFileFolders& folders) {
  return PlaceOfListedFile(file, file.empty() ? std::string() : ShortPathName(file), folders);
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
