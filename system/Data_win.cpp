// Unit Data: the shared values and the uninstaller's file helpers.
#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/handles.h"

bool AutoMode = false;
std::string ProgName;
std::string ShortcutName;
std::string DefaultPath;
std::string StartMenuFolder;
std::string GroupName;
bool MobileOption = false;
bool OnlyMobile = false;
std::string InstallPath;
std::string MainProgFile;
std::string OldGroup;
bool CopyErrors = false;
std::string UserProfileDir;
std::string ExeDir;

const char* const ShortDateFormat = "dd.mm.yyyy";
const char* const ShortTimeFormat = "hh:mm";

void DataStartup() {
  ExeDir = AddBackslash(GetAppDir());
  CopyErrors = false;
}

void DelayMs(unsigned ms) { WaitMs(ms, true); }

void ClearReadOnly(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool DeleteFileForced(const std::string& path) {
  ClearReadOnly(path);
  return ::DeleteFileA(path.c_str()) != FALSE;
}

std::vector<DirEntry> FindEntries(const std::string& mask) {
  std::vector<DirEntry> entries;
  const std::string directory = ExtractFilePath(mask);
  WIN32_FIND_DATAA found;
  const kv::FindHandle find(::FindFirstFileA(mask.c_str(), &found));
  if (!find) return entries;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({AddBackslash(directory) + name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileA(find.Get(), &found));
  return entries;
}

void DeleteDirTree(const std::string& directory) {
  // Files first, then the folders depth-first, then the directory itself.
  const std::vector<DirEntry> entries = FindEntries(AddBackslash(directory) + "*.*");
  for (const DirEntry& entry : entries) {
    if (!entry.directory) DeleteFileForced(entry.path);
  }
  for (const DirEntry& entry : entries) {
    if (!entry.directory) continue;
    if (entry.link)
      ::RemoveDirectoryA(entry.path.c_str());
    else
      DeleteDirTree(entry.path);
  }
  ::RemoveDirectoryA(RemoveBackslash(directory).c_str());
}
