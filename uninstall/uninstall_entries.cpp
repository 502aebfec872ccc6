#include "uninstall/uninstall_entries.h"

bool IsUninstallEntryName(const std::string& startMenuFolder) {
  return !startMenuFolder.empty() && startMenuFolder.front() != '\\' && startMenuFolder.back() != '\\' &&
         startMenuFolder.find("\\\\") == std::string::npos;
}
