// Reading the setup list "Setup.lst" and the install log, which share its
// keys: INI files read through the system's profile functions, so section and
// key names match without regard to case and a value is at most 2047
// characters long.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Whether a list file can be read: it exists as a file and opens for
// reading. A file that exists but cannot be opened (no right to read it, or
// held by another program) must not pass for a list without keys.
enum class ListFileState { Missing, Unreadable, Readable };
ListFileState CheckListFile(const std::string& file);

// A single value; a missing key gives def, a key present but empty gives "".
std::string ReadListString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def);

// The integer of a boolean value: decimal, or hexadecimal after "0x", "0X" or
// "$", with an optional sign. False when the text is not such a number.
bool ParseListInteger(const std::string& text, long long& value);
// A boolean value: non-zero is true, zero false, anything else def.
bool ReadListBool(const std::string& file, const std::string& section, const std::string& key,
                  bool def);

// The key=value pairs of a section in file order; keys with an empty value are
// dropped.
std::vector<std::pair<std::string, std::string>> ReadListSection(const std::string& file,
                                                                 const std::string& section);

// A numbered list ([programfiles], [Windows]): N counts the section's
// non-empty pairs, and the entries are the values of the keys "1" to "N".
std::vector<std::string> ReadNumberedList(const std::string& file, const std::string& section);

// The names of a ";"-separated file list ([SystemDepended]); a trailing ";"
// adds no empty name.
std::vector<std::string> SplitFileList(const std::string& text);
