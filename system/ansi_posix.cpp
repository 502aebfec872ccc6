// ANSI upper-casing for the native build: code page 1252, as Windows does it
// for a German system (ASCII letters, the accented letters of 0xE0-0xFE except
// the division sign, and the four letters whose capitals sit in 0x80-0x9F).
#include "system/helpers.h"

namespace {

unsigned char UpperCp1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

}  // namespace

std::string AnsiUpperCase(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
  return result;
}
