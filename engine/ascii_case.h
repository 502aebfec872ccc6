// Letter case as the install engine shows and records paths: only the ASCII
// letters change, so umlauts and every other byte of code page 1252 stay as
// they are.
#pragma once

#include <string>

std::string AsciiUpperCase(std::string text);  // a to z become A to Z
std::string AsciiLowerCase(std::string text);  // A to Z become a to z
