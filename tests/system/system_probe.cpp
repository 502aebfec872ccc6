// Runs the unit start-up of Data and Kv_tools and prints what the system
// helpers answer, one "name=value" line each. Tests start it under other
// names (for Wine's per-program version setting) and as another Unix user.
#include "system/Data.h"
#include "system/Kv_tools.h"

#include <cstdio>

int main() {
  DataStartup();
  KvToolsStartup();
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
