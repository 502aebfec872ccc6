// Code page 1252, the program's ANSI code page, and UTF-8, in which Linux
// names files and many editors save text.
#pragma once

#include <string>

// Whether the text is UTF-8 (ASCII is).
bool IsUtf8(const std::string& text);

// Code page 1252 for UTF-8 text; false when the text is not UTF-8 or has a
// character the code page cannot write.
bool Utf8ToCp1252(const std::string& utf8, std::string& cp1252);

// The same, with "?" for what is not UTF-8 or has no place in the code page.
std::string Cp1252OfUtf8(const std::string& utf8);

// UTF-8 for code page 1252 text; the five bytes the code page leaves free
// stand for the control characters of the same number, as Windows reads them.
std::string Cp1252ToUtf8(const std::string& cp1252);
