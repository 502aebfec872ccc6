// Unit Kv_tools, portable part: text, path and list helpers.
#include "system/Kv_tools.h"

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
