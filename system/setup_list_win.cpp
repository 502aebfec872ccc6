// The setup list on the disk: read through the system's profile functions.
#include "system/setup_list.h"

#include "system/helpers.h"
#include "system/handles.h"

ProfileReader ProfileOf(const std::string& path) {
  return [path](const char* section, const char* key, const char* def, char* buffer, std::size_t size) {
    return static_cast<std::size_t>(
        GetPrivateProfileStringA(section, key, def, buffer, static_cast<DWORD>(size), path.c_str()));
  };
}

ListFileState CheckListFile(const std::string& path) {
  if (!FileExists(path)) return ListFileState::Missing;
  // Shared as the profile functions share it, so a program that merely has
  // the file open does not count.
  const kv::FileHandle handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle ? ListFileState::Readable : ListFileState::Unreadable;
}
