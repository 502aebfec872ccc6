#include "uninstall/program_dir.h"

#include "system/process_values.h"
#include "system/helpers.h"
#include "system/handles.h"

namespace {

// Every folder the shell names, for the system or an account, from the
// desktop (0) to the CD burning area; numbers without a file-system folder
// (the printers, the network) name none.
constexpr int kLastShellFolder = CSIDL_CDBURN_AREA;

std::string TempDir() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathA(MAX_PATH + 1, buffer);
  return length == 0 || length > MAX_PATH ? std::string() : RemoveBackslash(std::string(buffer, length));
}

std::string SystemDir() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string() : std::string(buffer, length);
}

// A program started by its short name sees its directory spelled that way.
void AddWithShortForm(std::vector<std::string>& list, const std::string& folder) {
  const std::vector<std::string> spellings = FolderSpellings(folder);
  list.insert(list.end(), spellings.begin(), spellings.end());
}

}  // namespace

std::string ShortPathName(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string() : std::string(buffer, length);
}

bool IsRunningProgram(const std::string& path) {
  const std::string self = GetAppPath();
  return SameFile(path, ShortPathName(path), self, ShortPathName(self));
}

std::vector<std::string> FolderSpellings(const std::string& folder) {
  if (folder.empty()) return {};
  std::vector<std::string> spellings = {RemoveBackslash(folder)};
  const std::string shortForm = ShortPathName(folder);
  if (!shortForm.empty() && !SameFolder(shortForm, folder)) spellings.push_back(RemoveBackslash(shortForm));
  return spellings;
}

ProtectedFolders SystemProtectedFolders() {
  ProtectedFolders result;
  AddWithShortForm(result.folders, GetWindowsDir());
  AddWithShortForm(result.folders, SystemDir());
  AddWithShortForm(result.folders, TempDir());
  for (int csidl = CSIDL_DESKTOP; csidl <= kLastShellFolder; ++csidl)
    AddWithShortForm(result.folders, GetSpecialFolder(csidl));
  AddWithShortForm(result.accountRoots, GetProfilesDirectory());
  for (const int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILESX86,
                          CSIDL_PROGRAM_FILES_COMMONX86})
    AddWithShortForm(result.onEveryDrive, GetSpecialFolder(csidl));
  return result;
}

std::vector<DirEntry> DirTreeEntries(const std::string& mask, bool recursive) {
  std::vector<DirEntry> tree = FindEntries(mask);
  if (!recursive) return tree;
  for (const DirEntry& entry : FindEntries(ExtractFilePath(mask) + "*.*")) {
    if (!entry.directory || entry.link) continue;
    const std::vector<DirEntry> below = DirTreeEntries(AddBackslash(entry.path) + ExtractFileName(mask), true);
    tree.insert(tree.end(), below.begin(), below.end());
  }
  return tree;
}

void ListDirTree(const std::string& mask, bool recursive, std::vector<std::string>& list) {
  for (const DirEntry& entry : DirTreeEntries(mask, recursive)) list.push_back(entry.path);
}

std::vector<std::string> ProgramDirListing(const std::string& programDir) {
  std::vector<std::string> list = {programDir};
  ListDirTree(AddBackslash(programDir) + "*.*", true, list);
  return list;
}
