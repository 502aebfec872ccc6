// The portable helpers: text, path and list helpers.
#include "system/helpers.h"

std::string AddBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

std::string RemoveBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

std::string ReplaceAll(const std::string& source, const std::string& find,
                       const std::string& replacement, bool caseSensitive) {
  std::string work = source;
  if (find.empty()) return work;
  const std::string needle = caseSensitive ? find : AnsiUpperCase(find);
  std::string::size_type p = 0;
  for (;;) {
    const std::string rest = work.substr(p);
    const std::string::size_type found = (caseSensitive ? rest : AnsiUpperCase(rest)).find(needle);
    if (found == std::string::npos) return work;
    const std::string::size_type i = p + found;
    work.replace(i, find.size(), replacement);
    // The inserted text is never searched again, so "a" -> "aa" terminates.
    p = i + replacement.size();
  }
}

int CountFields(char separator, const std::string& text) {
  int count = 0;
  for (char c : text)
    if (c == separator) ++count;
  if (!text.empty() && text.back() != separator) ++count;
  return count;
}

std::string GetField(char separator, const std::string& text, int n) {
  if (n < 1) return {};
  int separators = 0;
  std::string::size_type fieldStart = 0;
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    if (text[i] != separator) continue;
    if (++separators == n) return text.substr(fieldStart, i - fieldStart);
    fieldStart = i + 1;
  }
  // The unterminated last field.
  if (!text.empty() && text.back() != separator && separators == n - 1) return text.substr(fieldStart);
  return {};
}

namespace {

// Position just after the last path delimiter ("\" or ":"), 0 if none.
std::string::size_type NameStart(const std::string& path) {
  const std::string::size_type last = path.find_last_of("\\:");
  return last == std::string::npos ? 0 : last + 1;
}

// Position of the extension's dot, npos when the name has no extension.
std::string::size_type ExtStart(const std::string& path) {
  const std::string::size_type dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return std::string::npos;
  return dot;
}

}  // namespace

std::string ExtractFilePath(const std::string& path) {
  const std::string::size_type last = path.rfind('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileExt(const std::string& path) {
  const std::string::size_type dot = ExtStart(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const std::string::size_type dot = ExtStart(path);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

bool IsPlainNamePart(const std::string& part) { return part.find_first_not_of(". ") != std::string::npos; }

bool StaysInsideFolder(const std::string& name) {
  if (name.find(':') != std::string::npos) return false;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type end = name.find_first_of("\\/", start);
    if (!IsPlainNamePart(name.substr(start, end == std::string::npos ? std::string::npos : end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

namespace {

enum Version { k95, k98, k98SE, kME, kNT, k2000, kXP, kVista, kUnknown };
// GetVersionExA's platform ids (VER_PLATFORM_WIN32_WINDOWS, VER_PLATFORM_WIN32_NT).
constexpr unsigned long kPlatform9x = 1;
constexpr unsigned long kPlatformNT = 2;

Version VersionOf(unsigned long platformId, unsigned long major, unsigned long minor, const std::string& csd) {
  if (platformId == kPlatform9x) {
    if (major != 4) return kUnknown;
    if (minor == 0) return k95;
    if (minor == 10) return csd.size() > 1 && csd[1] == 'A' ? k98SE : k98;
    if (minor == 90) return kME;
    return kUnknown;
  }
  if (platformId == kPlatformNT) {
    if (major <= 4) return kNT;
    if (major == 5 && minor == 0) return k2000;
    if (major == 5 && minor == 1) return kXP;
    if (major == 6) return kVista;
  }
  return kUnknown;
}

}  // namespace

const std::vector<std::string>& WindowsVersionNames() {
  // In the order of Version.
  static const std::vector<std::string> kNames = {"Windows 95", "Windows 98",   "Windows 98SE", "Windows ME",
                                                  "Windows NT", "Windows 2000", "Windows XP",   "Windows Vista",
                                                  "Unknown"};
  return kNames;
}

std::string WindowsVersionNameOf(unsigned long platformId, unsigned long major, unsigned long minor,
                                 const std::string& csdVersion) {
  return WindowsVersionNames()[VersionOf(platformId, major, minor, csdVersion)];
}
