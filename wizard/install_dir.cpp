#include "wizard/install_dir.h"

#include "system/ascii_case.h"
#include "system/helpers.h"

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

std::string LastPathComponent(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FallbackFolderIn(const std::string& accountFolder, const std::string& entered) {
  return AddBackslash(accountFolder) + LastPathComponent(entered);
}

DirectoryCheck CheckInstallDirectory(const std::string& entered, const std::string& accountFolder,
                                     bool createWithoutAsking, bool autoMode, DirectoryFacts& facts) {
  // A drive root and nothing more ("C:\", "C:").
  constexpr std::size_t kRootLength = 3;
  if (entered.size() <= kRootLength) return {DirectoryVerdict::RootRefused, entered};
  // A name the check refuses is never made; it goes the way of a directory
  // that cannot be written.
  const bool nameAccepted = InstallPathNameAccepted(entered);
  if (nameAccepted && !facts.Exists(entered)) {
    if (!createWithoutAsking && !facts.AgreesToCreate()) return {DirectoryVerdict::CreationDeclined, entered};
    facts.Create(entered);
  }
  std::string path = entered;
  if (autoMode && !(nameAccepted && facts.Writable(entered))) {
    path = FallbackFolderIn(accountFolder, entered);
    facts.Create(path);
  }
  const bool usable = InstallPathNameAccepted(path) && facts.Exists(path) && facts.Writable(path);
  return {usable ? DirectoryVerdict::Accepted : DirectoryVerdict::Unusable, path};
}
