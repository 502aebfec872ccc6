// Letter case as the program shows, records and compares names: only the
// ASCII letters change, so umlauts and every other byte of code page 1252 stay
// as they are.
#pragma once

#include <string>

char AsciiLower(char c);                       // A to Z become a to z
std::string AsciiUpperCase(std::string text);  // a to z become A to Z
std::string AsciiLowerCase(std::string text);  // A to Z become a to z
// Equal once A to Z are taken as a to z.
bool SameIgnoringAsciiCase(const std::string& a, const std::string& b);
