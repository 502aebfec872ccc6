#include "uninstall/uninstall_entries.h"

bool IsGroupFolderName(const std::string& groupName) {
  // The system drops trailing dots and blanks of a path's parts, so a part of
  // nothing else ("", ".", "..", ". ") names the folder itself or one above.
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = groupName.find_first_of("\\/", start);
    const std::string part = groupName.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.find_first_not_of(". ") == std::string::npos) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}
