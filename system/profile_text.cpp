// A profile file held in memory, read as GetPrivateProfileStringA reads one.
#include "system/setup_list.h"

#include "system/ascii_case.h"
#include "system/code_page.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct Key {
  std::string name;
  std::string value;
  bool hasValue;  // a line without "=" names a key without a value
};
struct Section {
  std::string name;
  std::vector<Key> keys;
};

// Besides the blank and the tab, the profile functions pass over the
// vertical tab, the form feed and ^Z (DOS's end of file, found on old media).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

std::string Trimmed(const std::string& text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

// A zero byte ends a name or a value, as it ends the system's strings.
std::string UpToZero(const std::string& text) { return text.substr(0, text.find('\0')); }

// One pair of quotes around the whole value is not part of it.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::vector<Section> Parse(std::string text) {
  // After a UTF-8 byte-order mark the text is read as UTF-8.
  static const char kUtf8Mark[] = "\xEF\xBB\xBF";
  if (text.compare(0, 3, kUtf8Mark) == 0) text = Cp1252OfUtf8(text.substr(3));
  // Lines before the first header make a section without a name.
  std::vector<Section> sections(1);
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (std::optional<std::string> section = SectionHeaderName(line)) {
      sections.push_back({std::move(*section), {}});
      continue;
    }
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
      sections.back().keys.push_back({UpToZero(line), "", false});
    } else {
      sections.back().keys.push_back(
          {UpToZero(Trimmed(line.substr(0, equals))), Unquoted(UpToZero(Trimmed(line.substr(equals + 1)))), true});
    }
  }
  return sections;
}

std::size_t CopyValue(const std::string& value, char* buffer, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t n = std::min(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// The names of the keys with a value, each ended by a zero, and one zero
// more; what does not fit is cut to size - 2 characters, the last name cut
// short. "" when the first name is empty: the caller's default applies then.
std::size_t CopyNames(const std::vector<Key>& keys, char* buffer, std::size_t size) {
  std::string names;
  for (const Key& key : keys) {
    if (key.hasValue) names += key.name + '\0';
  }
  if (names.empty() || names[0] == '\0' || size < 2) return 0;
  if (names.size() + 1 <= size) {
    std::memcpy(buffer, names.data(), names.size());
    buffer[names.size()] = '\0';
    return names.size();
  }
  std::memcpy(buffer, names.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace

std::optional<std::string> SectionHeaderName(const std::string& line) {
  const std::string trimmed = Trimmed(line);
  // A header ends at its last "]"; "[Name" without one is a key line.
  const std::string::size_type close = trimmed.empty() || trimmed[0] != '[' ? std::string::npos : trimmed.rfind(']');
  if (close == std::string::npos) return std::nullopt;
  return UpToZero(Trimmed(trimmed.substr(1, close - 1)));
}

std::vector<std::pair<std::string, std::optional<std::string>>> SectionKeyLines(const std::string& text,
                                                                               const std::string& section) {
  std::vector<std::pair<std::string, std::optional<std::string>>> lines;
  const std::vector<Section> sections = Parse(text);
  const auto found = std::find_if(sections.begin(), sections.end(),
                                  [&section](const Section& s) { return SameIgnoringAsciiCase(s.name, section); });
  if (found != sections.end()) {
    for (const Key& key : found->keys)
      lines.emplace_back(key.name, key.hasValue ? std::optional(key.value) : std::nullopt);
  }
  return lines;
}

ProfileReader ProfileOfText(const std::string& text) {
  const auto sections = std::make_shared<const std::vector<Section>>(Parse(text));
  return [sections](const char* section, const char* key, const char* def, char* buffer, std::size_t size) {
    // The names asked for a value lose their blanks (those asked for the key
    // names do not), the default its trailing ones.
    const std::string sectionName = key == nullptr ? section : Trimmed(section);
    std::string fallback = def ? def : "";
    fallback.erase(fallback.find_last_not_of(' ') + 1);
    const auto found = std::find_if(sections->begin(), sections->end(),
                                    [&sectionName](const Section& s) { return SameIgnoringAsciiCase(s.name, sectionName); });
    if (found != sections->end()) {
      if (key == nullptr) {
        const std::size_t length = CopyNames(found->keys, buffer, size);
        if (length > 0) return length;
      } else {
        const std::string keyName = Trimmed(key);
        const auto k = std::find_if(found->keys.begin(), found->keys.end(),
                                    [&keyName](const Key& each) { return SameIgnoringAsciiCase(each.name, keyName); });
        if (k != found->keys.end() && k->hasValue) return CopyValue(k->value, buffer, size);
      }
    }
    return CopyValue(fallback, buffer, size);
  };
}
