#include "wizard/install_dir.h"

#include "engine/ascii_case.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool IsRootLikeInstallPath(const std::string& path) {
  // The names are ASCII: no other letter of the code page lower-cases into one.
  const std::string lower = AsciiLowerCase(path);
  return lower == "c:\\programme" || lower == "c:\\program files" || lower == "c:\\program files\\" ||
         lower == "c:\\programme\\";
}

bool IsAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

bool InstallPathNameAccepted(const std::string& path) {
  return IsAbsolutePath(path) && !IsRootLikeInstallPath(path);
}
