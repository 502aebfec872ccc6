#include "uninstall/program_dir.h"

#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/handles.h"

namespace {

// The shell folders an install directory must never be: desktops, Start
// menus and their Programs folders (of the user and of all users), the
// documents folder and the program-files folder. A system without one of them
// names none.
constexpr int kShellFolders[] = {
    CSIDL_DESKTOP,       CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS,      CSIDL_COMMON_PROGRAMS,         CSIDL_PERSONAL,
    CSIDL_PROGRAM_FILES,
};

std::string SystemDir() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string() : std::string(buffer, length);
}

// A program started by its short name sees its directory spelled that way.
void AddWithShortForm(std::vector<std::string>& list, const std::string& folder) {
  if (folder.empty()) return;
  list.push_back(folder);
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetShortPathNameA(folder.c_str(), buffer, MAX_PATH + 1);
  if (length != 0 && length <= MAX_PATH && !SameFolder(buffer, folder)) list.emplace_back(buffer, length);
}

}  // namespace

ProtectedFolders SystemProtectedFolders() {
  ProtectedFolders result;
  AddWithShortForm(result.folders, GetWindowsDir());
  AddWithShortForm(result.folders, SystemDir());
  for (const int csidl : kShellFolders) AddWithShortForm(result.folders, GetSpecialFolder(csidl));
  AddWithShortForm(result.accountRoots, GetProfilesDirectory());
  return result;
}

void ListDirTree(const std::string& mask, bool recursive, std::vector<std::string>& list) {
  for (const DirEntry& entry : FindEntries(mask)) list.push_back(entry.path);
  if (!recursive) return;
  for (const DirEntry& entry : FindEntries(ExtractFilePath(mask) + "*.*")) {
    if (entry.directory && !entry.link) ListDirTree(AddBackslash(entry.path) + ExtractFileName(mask), true, list);
  }
}

std::vector<std::string> ProgramDirListing(const std::string& programDir) {
  std::vector<std::string> list = {programDir};
  ListDirTree(AddBackslash(programDir) + "*.*", true, list);
  return list;
}
