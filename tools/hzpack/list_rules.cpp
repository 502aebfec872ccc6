#include "tools/hzpack/list_rules.h"

#include "system/ascii_case.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace hzpack {
namespace {

// Optimal string alignment distance: insertions, deletions, changes and
// swaps of neighbours, each one step.
std::size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// German words a vendor may write for the list's names (lower case, code
// page 1252 and its ASCII spellings).
const std::map<std::string, std::string>& GermanNames() {
  static const std::map<std::string, std::string> kNames = {
      {"allgemein", "general"},          {"startmen\xFC", "startmenu"},      {"startmenue", "startmenu"},
      {"gruppe", "group"},               {"programmgruppe", "group"},        {"programmdateien", "programfiles"},
      {"dateien", "programfiles"},       {"systemabh\xE4ngig", "systemdepended"}, {"systemabhaengig", "systemdepended"},
      {"eintr\xE4ge", "items"},          {"eintraege", "items"},             {"verkn\xFCpfungen", "items"},
      {"verknuepfungen", "items"},       {"ordner", "folder"},               {"pfad", "defaultpath"},
      {"standardpfad", "defaultpath"},   {"zielpfad", "defaultpath"},        {"verzeichnis", "defaultpath"},
      {"alt", "old"},                    {"alte", "old"},                    {"nurmobil", "onlymobile"},
      {"mobiloption", "mobileoption"},   {"pr\xFC" "fsummen", "crc32"},         {"pruefsummen", "crc32"},
  };
  return kNames;
}

}  // namespace

std::string NearMiss(const std::string& name, const std::vector<std::string>& known) {
  const std::string lower = AsciiLowerCase(name);
  const auto german = GermanNames().find(lower);
  for (const std::string& candidate : known) {
    const std::string target = AsciiLowerCase(candidate);
    if (german != GermanNames().end() && german->second == target) return candidate;
    const std::size_t allowed = target.size() <= 5 ? 1 : 2;
    if (lower != target && Distance(lower, target) <= allowed) return candidate;
  }
  return {};
}

std::size_t LineOf(const std::string& text, std::size_t offset) {
  // A line ends at LF, or at a CR not followed by LF.
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
  }
  return line;
}

TextFault TextPageFault(const std::string& text) {
  const auto control = [](unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f'; };
  const auto first = std::find_if(text.begin(), text.end(), [&](char c) { return control(static_cast<unsigned char>(c)); });
  if (first == text.end()) return {};
  const std::size_t offset = static_cast<std::size_t>(first - text.begin());
  const auto count = static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [&](char c) { return control(static_cast<unsigned char>(c)); }));
  const bool zero = text.find('\0') != std::string::npos;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(*first));
  // One control byte in ten characters or more: a program, an image or a
  // word processor's file rather than a text.
  if (count * 10 >= text.size())
    return {true, "not a text (" + std::to_string(count) + " of its " + std::to_string(text.size()) +
                      " bytes are control bytes): the page shows garbage"};
  if (zero)
    return {true, "a zero byte in line " + std::to_string(LineOf(text, text.find('\0'))) +
                      ": the page shows the text only up to it"};
  return {false, "a control byte (" + std::string(byte) + ") in line " + std::to_string(LineOf(text, offset)) +
                     ": the page shows it as a box or not at all"};
}

}  // namespace hzpack
