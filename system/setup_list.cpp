// The setup list's values as the program reads them, over any profile reader.
#include "system/setup_list.h"

#include "system/helpers.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

// The profile functions read one value through a buffer of this size,
constexpr std::size_t kValueBufferSize = 2048;
// and the key names of a section through one of at least this size.
constexpr std::size_t kKeyNamesBufferSize = 16384;

std::vector<std::string> KeyNames(const ProfileReader& list, const std::string& section) {
  // Names that do not fit are cut without an error, and the answer is then
  // the buffer's size less 2: a long file list would lose its last entries
  // silently. Read again through a larger buffer until the answer is less.
  std::vector<char> buffer(kKeyNamesBufferSize, '\0');
  std::size_t length = 0;
  while ((length = list(section.c_str(), nullptr, "", buffer.data(), buffer.size())) >= buffer.size() - 2)
    buffer.assign(buffer.size() * 2, '\0');
  std::vector<std::string> names;
  const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(length);
  for (auto start = buffer.begin(); start < end;) {
    const auto zero = std::find(start, end, '\0');
    if (zero != start) names.emplace_back(start, zero);
    start = zero + 1;
  }
  return names;
}

}  // namespace

std::string ReadListString(const ProfileReader& list, const std::string& section, const std::string& key,
                           const std::string& def) {
  std::vector<char> buffer(kValueBufferSize, '\0');
  const std::size_t length = list(section.c_str(), key.c_str(), def.c_str(), buffer.data(), buffer.size());
  return std::string(buffer.data(), std::min(length, buffer.size() - 1));
}

std::string ReadProgramName(const ProfileReader& list) { return ReadListString(list, "General", "Name", "Programm"); }

std::string ReadDefaultPath(const ProfileReader& list) {
  return ReadListString(list, "General", "defaultPath", "C:\\App");
}

std::string ReadProductVersion(const ProfileReader& list) { return ReadListString(list, "General", "Version", ""); }

std::string ReadPublisher(const ProfileReader& list) { return ReadListString(list, "General", "Publisher", ""); }

std::string ReadStartMenuFolder(const ProfileReader& list) {
  return ReadListString(list, "StartMenu", "Folder", "Unbenannt");
}

std::string ReadGroupName(const ProfileReader& list) { return ReadListString(list, "Group", "Name", "Gruppex"); }

std::string ListValueAsRead(const std::string& value) {
  return ReadListString(ProfileOfText("[List]\r\nValue=" + value + "\r\n"), "List", "Value", "");
}

bool ParseListInteger(const std::string& text, long long& value) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int base = 10;
  if (text.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  const std::string digits = text.substr(i);
  const char* allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return false;
  // Values are 32-bit integers: hexadecimal up to $FFFFFFFF, decimal within
  // the signed range.
  errno = 0;
  const unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, base);
  const unsigned long long limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  if (errno == ERANGE || magnitude > limit) return false;
  value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return true;
}

bool ReadListBool(const ProfileReader& list, const std::string& section, const std::string& key, bool def) {
  long long value = 0;
  if (!ParseListInteger(ReadListString(list, section, key, ""), value)) return def;
  return value != 0;
}

std::vector<std::pair<std::string, std::string>> ReadListSection(const ProfileReader& list,
                                                                 const std::string& section) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string& name : KeyNames(list, section)) {
    std::string value = ReadListString(list, section, name, "");
    if (!value.empty()) pairs.emplace_back(std::move(name), std::move(value));
  }
  return pairs;
}

std::vector<std::string> ReadNumberedList(const ProfileReader& list, const std::string& section,
                                          const std::string& keyPrefix) {
  std::vector<std::string> entries;
  for (const std::string& key : NumberedKeys(list, section, keyPrefix))
    entries.push_back(ReadListString(list, section, key, ""));
  return entries;
}

std::vector<std::string> NumberedKeys(const ProfileReader& list, const std::string& section,
                                      const std::string& keyPrefix) {
  const std::size_t count = ReadListSection(list, section).size();
  std::vector<std::string> keys;
  for (std::size_t n = 1; n <= count; ++n) keys.push_back(keyPrefix + std::to_string(n));
  return keys;
}

std::vector<std::string> SplitFileList(const std::string& text) {
  std::vector<std::string> names;
  const int count = CountFields(';', text);
  for (int n = 1; n <= count; ++n) names.push_back(GetField(';', text, n));
  return names;
}
