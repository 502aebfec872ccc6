#include "wizard/install_dir.h"

#include "system/ascii_case.h"
#include "system/helpers.h"

#include <algorithm>
#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "C:\" or "C:/" at the start.
bool StartsWithDriveRoot(const std::string& path) {
  return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}

// "\\server": two separators, then a name.
bool StartsWithShare(const std::string& path) {
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

std::string WithoutTrailingDotsAndBlanks(const std::string& part) {
  const std::size_t last = part.find_last_not_of(". ");
  return last == std::string::npos ? std::string() : part.substr(0, last + 1);
}

}  // namespace

std::string CanonicalInstallPath(const std::string& path) {
  std::string slashed = path;
  for (char& c : slashed)
    if (c == '/') c = '\\';
  // The root stays as it is: "\\" of a UNC name, "C:\", a lone "\" or nothing.
  std::string root;
  if (StartsWithShare(slashed)) {
    root = "\\\\";
  } else if (StartsWithDriveRoot(slashed)) {
    root = slashed.substr(0, 3);
  } else if (slashed.compare(0, 1, "\\") == 0) {
    root = "\\";
  }
  // ".." never climbs above a share ("\\server\share").
  const std::size_t floor = root == "\\\\" ? 2 : 0;
  std::vector<std::string> parts;
  std::size_t start = root.size();
  while (start <= slashed.size()) {
    const std::size_t end = std::min(slashed.find('\\', start), slashed.size());
    const std::string part = slashed.substr(start, end - start);
    start = end + 1;
    if (part == "..") {
      if (parts.size() > floor) parts.pop_back();
      continue;
    }
    const std::string trimmed = WithoutTrailingDotsAndBlanks(part);
    if (!trimmed.empty()) parts.push_back(trimmed);
  }
  std::string canonical = root;
  for (const std::string& part : parts) canonical += (canonical.size() > root.size() ? "\\" : "") + part;
  return canonical;
}

bool IsRootLikeInstallPath(const std::string& path) {
  // The names are ASCII: no other letter of the code page lower-cases into one.
  const std::string lower = AsciiLowerCase(CanonicalInstallPath(path));
  return lower == "c:\\programme" || lower == "c:\\program files";
}

bool IsAbsolutePath(const std::string& path) { return StartsWithDriveRoot(path) || StartsWithShare(path); }

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

DirectoryCheck CheckInstallDirectory(const std::string& typed, const std::string& accountFolder,
                                     bool createWithoutAsking, bool autoMode, DirectoryFacts& facts) {
  // Checked, made and installed into by the one name Windows gives it.
  const std::string entered = CanonicalInstallPath(typed);
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
