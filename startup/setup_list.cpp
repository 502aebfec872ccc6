#include "startup/setup_list.h"

#include "system/Kv_tools.h"
#include "system/handles.h"

#include <cerrno>
#include <cstdlib>

namespace {

// The profile functions read one value through a buffer of this size.
constexpr DWORD kValueBufferSize = 2048;
// and the key names of a section through one of this size.
constexpr DWORD kKeyNamesBufferSize = 16384;

std::vector<std::string> KeyNames(const std::string& file, const std::string& section) {
  std::vector<char> buffer(kKeyNamesBufferSize);
  const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                kKeyNamesBufferSize, file.c_str());
  std::vector<std::string> names;
  for (DWORD i = 0; i < length;) {
    std::string name(buffer.data() + i);
    i += static_cast<DWORD>(name.size()) + 1;
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

ListFileState CheckListFile(const std::string& file) {
  if (!FileExists(file)) return ListFileState::Missing;
  // Shared as the profile functions share it, so a program that merely has
  // the file open does not count.
  const kv::FileHandle handle(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle ? ListFileState::Readable : ListFileState::Unreadable;
}

std::string ReadListString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) {
  std::vector<char> buffer(kValueBufferSize);
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                                buffer.data(), kValueBufferSize, file.c_str());
  return std::string(buffer.data(), length);
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

bool ReadListBool(const std::string& file, const std::string& section, const std::string& key,
                  bool def) {
  long long value = 0;
  if (!ParseListInteger(ReadListString(file, section, key, ""), value)) return def;
  return value != 0;
}

std::vector<std::pair<std::string, std::string>> ReadListSection(const std::string& file,
                                                                 const std::string& section) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string& name : KeyNames(file, section)) {
    std::string value = ReadListString(file, section, name, "");
    if (!value.empty()) pairs.emplace_back(std::move(name), std::move(value));
  }
  return pairs;
}

std::vector<std::string> ReadNumberedList(const std::string& file, const std::string& section) {
  const std::size_t count = ReadListSection(file, section).size();
  std::vector<std::string> entries;
  for (std::size_t n = 1; n <= count; ++n) {
    entries.push_back(ReadListString(file, section, std::to_string(n), ""));
  }
  return entries;
}

std::vector<std::string> SplitFileList(const std::string& text) {
  std::vector<std::string> names;
  const int count = CountFields(';', text);
  for (int n = 1; n <= count; ++n) names.push_back(GetField(';', text, n));
  return names;
}
