#include "uninstall/uninstall_entries.h"

#include "system/Kv_tools.h"

bool IsGroupFolderName(const std::string& groupName) { return StaysInsideFolder(groupName); }
