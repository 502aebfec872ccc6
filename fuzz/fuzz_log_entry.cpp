// libFuzzer target for the install log's new entries: whatever a log holds,
// a file's key that the run enters as a line in front of the log's tail
// reads back under [InstalledFiles] as the program's reader reads the file,
// and every value the log held before reads as it did; the held values list
// the log's files as the uninstaller reads them.
#include "system/ascii_case.h"
#include "engine/install_log.h"
#include "fuzz/fuzz_support.h"
#include "system/setup_list.h"

namespace {

using fuzz::Check;

const char kKey[] = "File1";
const char kValue[] = "c:\\kv\\neu.dll";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A zero ends a text for the profile functions; a log holds none.
  if (text.find('\0') != std::string::npos) return 0;
  CopyRun run{"c:\\kv", "", "", ""};
  run.held = HeldValues(text);
  run.tail = LogTail(text);
  // The files a re-install keeps are looked up in the held values; they are
  // the uninstaller's list of the log.
  if (!OpensWithByteOrderMark(text))
    Check(ListedFiles(text, run.held) == ReadNumberedList(ProfileOfText(text), "InstalledFiles", "File"),
          "the held values list the files as the uninstaller reads them");
  const std::optional<std::string> line = AddedEntryLine(run, {{"InstalledFiles", kKey, kValue}});
  if (!run.tail) Check(!line, "no line without a known tail");
  if (!line) {
    Check(!run.tail || AsciiLowerCase(text).find(AsciiLowerCase(kKey)) != std::string::npos,
          "a key the log lacks goes in as a line");
    return 0;
  }
  const std::size_t at = text.size() - run.tail->size();
  Check(at > 0 && text[at - 1] == '\n', "the tail follows a line break");
  const ProfileReader before = ProfileOfText(text);
  const ProfileReader after = ProfileOfText(text.substr(0, at) + *line + *run.tail);

  Check(ReadListString(after, "InstalledFiles", kKey, "-") == kValue, "the line reads back under [InstalledFiles]");
  std::vector<std::string> sections = {""};
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (std::optional<std::string> section = SectionHeaderName(text.substr(start, end - start)))
      sections.push_back(*section);
    start = end + 1;
  }
  for (const std::string& section : sections) {
    const auto held = ReadListSection(before, section);
    for (const auto& [key, value] : held)
      Check(ReadListString(after, section, key, "-") == value, "a value the log held reads as before", section);
    if (AsciiLowerCase(section) != "installedfiles")
      Check(ReadListSection(after, section) == held, "another section keeps its keys", section);
  }
  return 0;
}
