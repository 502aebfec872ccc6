// libFuzzer target for the list reader: any text read as a profile file
// (Setup.lst, Install1.log) answers as the profile functions do. For every
// section the program asks for: each key name it lists reads back, in any
// letter case, and no value or name holds a line break; a read through a
// smaller buffer gives the front of the value, cut as the functions cut; and
// a section added after any text reads back as written.
#include "fuzz/fuzz_support.h"
#include "system/ascii_case.h"
#include "system/setup_list.h"


namespace {

using fuzz::Check;

const char* const kSections[] = {"General", "StartMenu", "Group", "programfiles", "Windows", "SystemDepended",
                                 "Items", "InstalledFiles", "BenutzerKonto"};

std::string Read(const ProfileReader& list, const char* section, const char* key, std::size_t size) {
  std::vector<char> buffer(size + 1, '\x7F');
  const std::size_t n = list(section, key, "", buffer.data(), size);
  Check(size == 0 ? n == 0 : n < size, "a read fits its buffer");
  Check(buffer[size] == '\x7F', "a read writes nothing past its buffer");
  return std::string(buffer.data(), n);
}

std::string Swapped(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// whole: room for anything the text holds.
void CheckSection(const ProfileReader& list, const char* section, std::size_t whole) {
  const std::string names = Read(list, section, nullptr, whole);
  for (std::size_t at = 0; at < names.size();) {
    const std::string key = names.c_str() + at;
    at += key.size() + 1;
    // A key line with nothing before its "=" lists as an empty name, as the
    // profile functions list it; callers stop there, at the double zero.
    if (key.empty()) break;
    Check(key.find_first_of("\r\n") == std::string::npos, "a key name holds no line break");
    const std::string value = Read(list, section, key.c_str(), whole);
    Check(value.find_first_of("\r\n") == std::string::npos, "a value holds no line break");
    Check(Read(list, Swapped(section).c_str(), Swapped(key).c_str(), whole) == value,
          "names are matched without regard to letter case");
    for (std::size_t size : {std::size_t{1}, std::size_t{2}, value.size(), value.size() + 1}) {
      Check(Read(list, section, key.c_str(), size) == value.substr(0, size == 0 ? 0 : size - 1),
            "a value too long for the buffer is cut to its front");
    }
  }
  if (names.size() > 2) {
    const std::string cut = Read(list, section, nullptr, names.size());
    Check(cut.size() == names.size() - 2 && names.compare(0, cut.size(), cut) == 0,
          "key names too long for the buffer are cut to their front");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A zero ends a text for the profile functions; lists and logs hold none.
  if (text.find('\0') != std::string::npos) return 0;
  const ProfileReader list = ProfileOfText(text);
  for (const char* section : kSections) CheckSection(list, section, text.size() + 2);

  // A section of plain names and values added at the end reads back, unless
  // the text names it already (the first section of a name wins).
  if (AsciiLowerCase(text).find("kvprobe") == std::string::npos) {
    const ProfileReader added = ProfileOfText(text + "\r\n[KvProbe]\r\nName=Demo Programm\r\n1=DEMO.EX_\r\n");
    Check(ReadListString(added, "KvProbe", "Name", "-") == "Demo Programm" &&
              ReadListString(added, "KvProbe", "1", "-") == "DEMO.EX_",
          "a section added after any text reads back as written");
    Check(ReadListString(added, "General", "Name", "-") == ReadListString(list, "General", "Name", "-"),
          "a section added at the end changes no other");
  }
  return 0;
}
