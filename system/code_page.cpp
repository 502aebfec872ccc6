#include "system/code_page.h"

namespace {

// Code page 1252's characters at 0x80-0x9F; 0 where it has none.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool Cp1252Byte(char32_t c, char& byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    byte = static_cast<char>(c);
    return true;
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kCp1252High[i] == c) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

// The bytes of a UTF-8 sequence that begins with lead; 0 where none can.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return lead < 0xF5 ? 4 : 0;
}

// The character at utf8[i] and its length; length 0 where no UTF-8 character
// begins there (a stray byte counts as one).
char32_t DecodeAt(const std::string& utf8, std::size_t i, std::size_t& length) {
  length = SequenceLength(static_cast<unsigned char>(utf8[i]));
  if (length == 0 || i + length > utf8.size()) {
    length = 0;
    return 0;
  }
  const auto lead = static_cast<unsigned char>(utf8[i]);
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(utf8[i + k]);
    if ((next & 0xC0) != 0x80) {
      length = 0;
      return 0;
    }
    c = c << 6 | (next & 0x3F);
  }
  // Overlong forms and surrogates are not UTF-8.
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || (c >= 0xD800 && c < 0xE000)) length = 0;
  return c;
}

}  // namespace

bool IsUtf8(const std::string& text) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); i += length) {
    DecodeAt(text, i, length);
    if (length == 0) return false;
  }
  return true;
}

bool Utf8ToCp1252(const std::string& utf8, std::string& cp1252) {
  std::string out;
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    const char32_t c = DecodeAt(utf8, i, length);
    char byte;
    if (length == 0 || !Cp1252Byte(c, byte)) return false;
    out += byte;
  }
  cp1252 = std::move(out);
  return true;
}

std::string Cp1252OfUtf8(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length == 0 ? 1 : length) {
    const char32_t c = DecodeAt(utf8, i, length);
    char byte;
    out += length != 0 && Cp1252Byte(c, byte) ? byte : '?';
  }
  return out;
}

std::string Cp1252ToUtf8(const std::string& cp1252) {
  std::string out;
  for (const char byte : cp1252) {
    const auto b = static_cast<unsigned char>(byte);
    const char32_t c = b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0 ? kCp1252High[b - 0x80] : b;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
