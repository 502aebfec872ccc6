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

bool DeleteFileForced(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return ::DeleteFileA(path.c_str()) != FALSE;
}

namespace {

template <typename Visit>
void ForEachEntry(const std::string& directory, Visit visit) {
  WIN32_FIND_DATAA entry;
  kv::FindHandle find(::FindFirstFileA((AddBackslash(directory) + "*.*").c_str(), &entry));
  if (!find) return;
  do {
    visit(entry);
  } while (::FindNextFileA(find.Get(), &entry));
}

}  // namespace

void DeleteDirTree(const std::string& directory) {
  const std::string base = AddBackslash(directory);
  ForEachEntry(directory, [&](const WIN32_FIND_DATAA& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileForced(base + entry.cFileName);
  });
  ForEachEntry(directory, [&](const WIN32_FIND_DATAA& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || entry.cFileName[0] == '.') return;
    const std::string path = base + entry.cFileName;
    // A junction or directory link is removed as a link: entering it would
    // empty a folder outside the tree.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
      ::RemoveDirectoryA(path.c_str());
    else
      DeleteDirTree(path);
  });
  ::RemoveDirectoryA(RemoveBackslash(directory).c_str());
}
