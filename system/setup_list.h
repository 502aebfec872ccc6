// Reading the setup list "Setup.lst" and the install log, which share its
// keys. Both are INI files read through the system's profile functions, so
// section and key names match without regard to case and a value is at most
// 2047 characters long. What the program makes of the values (defaults,
// booleans, sections, numbered and ";" lists) is portable and works on any
// reader that behaves like those functions.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One INI file as GetPrivateProfileStringA reads it. Copies the value of key
// in section into buffer (def when the key is missing), or for a null key the
// section's key names in file order, each ended by a zero. What does not fit
// is cut: a value to size - 1 characters, the names to size - 2 (the last one
// cut short, then two zeros). Answers the number of characters copied, the
// final zero not counted.
using ProfileReader = std::function<std::size_t(const char* section, const char* key, const char* def,
                                                char* buffer, std::size_t size)>;

// The file at path, read through the system's profile functions (Win32).
ProfileReader ProfileOf(const std::string& path);

// A profile file's text, read as the profile functions read a file, for
// tools that run elsewhere. After a UTF-8 byte-order mark the text is UTF-8,
// else code page 1252. Lines end at CR or LF and lose their blanks at both
// ends (blank, tab, vertical tab, form feed and ^Z); empty lines and lines
// beginning with ";" are skipped. A line beginning with "[" and holding a
// "]" starts the section named up to its last "]"; lines before the first
// section make one without a name. Other lines are key=value, both trimmed,
// one pair of quotes ('' or "") around the whole value dropped; a zero byte
// ends a name or a value. A line without "=" is a key without a value: it
// gives the default and is not among the key names. Sections and keys are
// matched without regard to letter case (ASCII letters), after the names
// asked for a value lose their blanks; the first section and the first key
// of a name win. A section whose key names are none, or begin with an empty one, gives
// the default for its names too.
ProfileReader ProfileOfText(const std::string& text);

// The name of the section a line of a profile file starts, read as
// ProfileOfText reads it; none for any other line.
std::optional<std::string> SectionHeaderName(const std::string& line);

// Every key line of the first section of that name in a profile file's text,
// in file order, read as ProfileOfText reads it: the key's name, and its
// value where the line has "=". Unlike the key names the profile functions
// list, these include keys without a value and keys after an empty name,
// which a write of the same key would replace where they stand.
std::vector<std::pair<std::string, std::optional<std::string>>> SectionKeyLines(const std::string& text,
                                                                               const std::string& section);

// Whether a list file can be read: it exists as a file and opens for
// reading. A file that exists but cannot be opened (no right to read it, or
// held by another program) must not pass for a list without keys (Win32).
enum class ListFileState { Missing, Unreadable, Readable };
ListFileState CheckListFile(const std::string& path);

// A single value; a missing key gives def, a key present but empty gives "".
std::string ReadListString(const ProfileReader& list, const std::string& section, const std::string& key,
                           const std::string& def);

// The list's values that have a default of their own, as the setup program
// reads them: [General] Name ("Programm" where missing), [General]
// defaultPath ("C:\App"), [StartMenu] Folder ("Unbenannt"), and [Group] Name
// as the install run reads it ("Gruppex"; start-up reads it without default).
std::string ReadProgramName(const ProfileReader& list);
std::string ReadDefaultPath(const ProfileReader& list);
std::string ReadStartMenuFolder(const ProfileReader& list);
std::string ReadGroupName(const ProfileReader& list);
// [General] Version and Publisher, for the software list; "" when absent.
std::string ReadProductVersion(const ProfileReader& list);
std::string ReadPublisher(const ProfileReader& list);

// What the setup program reads of value written into a list as "key=value":
// the profile functions drop blanks at its ends and one pair of quotes
// around it, end it at a line break, and hand out its first 2047 characters.
// A name or text that a list is to carry must read back as itself.
std::string ListValueAsRead(const std::string& value);

// The integer of a boolean value: decimal, or hexadecimal after "0x", "0X" or
// "$", with an optional sign. False when the text is not such a number.
bool ParseListInteger(const std::string& text, long long& value);
// A boolean value: non-zero is true, zero false, anything else def.
bool ReadListBool(const ProfileReader& list, const std::string& section, const std::string& key, bool def);

// The key=value pairs of a section in file order; keys with an empty value are
// dropped.
std::vector<std::pair<std::string, std::string>> ReadListSection(const ProfileReader& list,
                                                                 const std::string& section);

// A numbered list ([programfiles], [Windows], the log's [InstalledFiles]): N
// counts the section's non-empty pairs, and the entries are the values of the
// keys keyPrefix + "1" to keyPrefix + "N".
std::vector<std::string> ReadNumberedList(const ProfileReader& list, const std::string& section,
                                          const std::string& keyPrefix = "");
// The keys ReadNumberedList reads, in its order; any other key of the
// section is never read.
std::vector<std::string> NumberedKeys(const ProfileReader& list, const std::string& section,
                                      const std::string& keyPrefix = "");

// The names of a ";"-separated file list ([SystemDepended]); a trailing ";"
// adds no empty name.
std::vector<std::string> SplitFileList(const std::string& text);
