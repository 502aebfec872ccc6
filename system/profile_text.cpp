// A profile file held in memory, read as GetPrivateProfileStringA reads one.
#include "system/setup_list.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct Key {
  std::string name;
  std::string value;
};
struct Section {
  std::string name;
  std::vector<Key> keys;
};

bool SameName(const std::string& a, const char* b) {
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string Trimmed(const std::string& text) {
  const std::string::size_type first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One pair of quotes around the whole value is not part of it.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::vector<Section> Parse(const std::string& text) {
  std::vector<Section> sections;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::string::size_type close = line.find(']');
      sections.push_back({Trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      continue;
    }
    // Lines before the first section belong to none that can be asked for.
    if (sections.empty()) continue;
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
      sections.back().keys.push_back({line, ""});
    } else {
      sections.back().keys.push_back({Trimmed(line.substr(0, equals)), Unquoted(Trimmed(line.substr(equals + 1)))});
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

// The names each ended by a zero, and one zero more; what does not fit is
// cut to size - 2 characters, the last name cut short.
std::size_t CopyNames(const std::vector<Key>& keys, char* buffer, std::size_t size) {
  if (size < 2) {
    if (size == 1) buffer[0] = '\0';
    return 0;
  }
  std::string names;
  for (const Key& key : keys) {
    if (key.name.empty()) continue;
    names += key.name;
    names += '\0';
  }
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

ProfileReader ProfileOfText(const std::string& text) {
  const auto sections = std::make_shared<const std::vector<Section>>(Parse(text));
  return [sections](const char* section, const char* key, const char* def, char* buffer, std::size_t size) {
    const auto found = std::find_if(sections->begin(), sections->end(),
                                    [section](const Section& s) { return SameName(s.name, section); });
    if (key == nullptr) {
      if (found == sections->end()) return CopyNames({}, buffer, size);
      return CopyNames(found->keys, buffer, size);
    }
    if (found != sections->end()) {
      for (const Key& k : found->keys)
        if (SameName(k.name, key)) return CopyValue(k.value, buffer, size);
    }
    // The default loses its trailing blanks.
    std::string fallback = def ? def : "";
    fallback.erase(fallback.find_last_not_of(' ') + 1);
    return CopyValue(fallback, buffer, size);
  };
}
