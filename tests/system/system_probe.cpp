// Runs the start-up of the process-wide values and the settings location and prints what the system
// helpers answer, one "name=value" line each. Tests start it under other
// names (for Wine's per-program version setting) and as another Unix user.
//   system_probe                      print the facts
//   system_probe --delete-tree DIR    DeleteDirTree(DIR)
//   system_probe --entries MASK       FindEntries(MASK), "path directory link" a line
#include "system/process_values.h"
#include "system/helpers.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--delete-tree") == 0) {
    DeleteDirTree(argv[2]);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--entries") == 0) {
    for (const DirEntry& entry : FindEntries(argv[2]))
      std::printf("%s %d %d\n", entry.path.c_str(), entry.directory ? 1 : 0, entry.link ? 1 : 0);
    return 0;
  }
  InitProcessValues();
  LocateSettingsFile();
  std::printf("version=%s\n", GetWindowsVersionName().c_str());
  std::printf("nt=%d\n", IsWindowsNT() ? 1 : 0);
  std::printf("admin=%d\n", IsAdministrator() ? 1 : 0);
  std::printf("profiles=%s\n", GetProfilesDirectory().c_str());
  std::printf("login=%s\n", GetUserLoginName().c_str());
  std::printf("exedir=%s\n", ExeDir.c_str());
  std::printf("settingsfile=%s\n", SettingsFile.c_str());
  std::printf("settingsdir=%s\n", SettingsDir.c_str());
  return 0;
}
