// hzpack make: a ready medium from a product folder. Every file below the
// folder becomes a [programfiles] entry, packed where the setup program's
// name mapping gives it back its own name, copied otherwise; the list, the
// texts and SETUP.EXE complete the medium.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace hzpack {

// Whatever keeps make from building the medium; the message says why.
class MakeError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Names and texts in UTF-8, as the command line gives them.
struct MakeRequest {
  std::string source;     // the product folder
  std::string medium;     // absent or empty
  std::string name;       // the product's name
  std::string agreement;  // becomes Vertrag.Txt
  std::string readme;     // becomes Liesmich.txt; may be empty
  std::string mainFile;   // below source; empty: the one program at its top level
  std::string path;       // proposed install directory, written canonical; empty: C:\Programme\ + name
  std::string setup;      // the SETUP.EXE to ship
  std::string version;    // [General] Version for the software list; may be empty
  std::string publisher;  // [General] Publisher; may be empty
  // More [Items] lines, "FILE=CAPTION" each: FILE below source ("\" may
  // stand for "/"), the shortcut's caption.
  std::vector<std::string> items;
  // Files at the top of source listed in [Windows] rather than [programfiles].
  std::vector<std::string> windowsFiles;
  // Names of files and folders left out besides those no product ships
  // (LeftOutByDefault); "*" and "?" as wildcards, letter case aside.
  std::vector<std::string> excludes;
  bool keepAll = false;  // ship what LeftOutByDefault names too
};

// Why no product ships a file or folder of this name (version control
// folders, the Explorer's thumbnails and folder settings, editor backups),
// or "" when it is shipped.
std::string LeftOutByDefault(const std::string& name);
// Whether name matches pattern: "*" any run of characters, "?" one, letter
// case aside.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// What a text file was most likely saved as.
enum class TextEncoding { Cp1252, Utf8, Utf8Mark, Utf16Mark };
TextEncoding EncodingOf(const std::vector<std::uint8_t>& raw);

// A read-me or agreement as the wizard shows it: in code page 1252. UTF-8
// (with or without its byte-order mark) is converted; MakeError naming the
// line of the first character the code page has no place for, and for
// UTF-16. what names the text in the message.
std::vector<std::uint8_t> TextForMedium(const std::vector<std::uint8_t>& raw, const std::string& what);

// Why Windows would not take part as one file or folder name (a character it
// does not allow, a dot or a blank at the end, a device name such as "aux"),
// or "" when it would.
std::string NameFault(const std::string& part);

// One product file and its place on the medium.
struct MediumEntry {
  std::string productName;  // below the product folder, UTF-8 with "/" between folders
  std::string mediumName;   // the same below the medium
  std::string listedName;   // as [programfiles] lists it: code page 1252 with "\" between folders
  bool packed;
  bool plain;               // whether stored as it is it installs under its own name too
  bool windows = false;     // listed in [Windows]: installed in the Windows directory
  std::uint32_t crc = 0;    // of the bytes on the medium, once written
};

// How a file is shipped so that the setup program installs it under its own
// name (letter case aside): packed under its compressed name where the
// mapping gives the name back ("DEMO.EXE" as "DEMO.EX_", "DATA.XY_" as
// itself), plainly otherwise. MakeError for a name Windows does not allow,
// one the list cannot carry as it is ("'Notiz.txt'" would be read without
// its quotes), or one the setup program cannot install as it is ("LIES.TX_1"
// would arrive as "LIES.TXT"). make stores a file plain after all where
// packing does not make it smaller and plain allows it.
MediumEntry ShipAs(const std::string& productName);

// The entries in list order: the main program first (mainName, a
// productName where "\" may stand for "/"; empty: the one ".exe" at the top
// level), the others sorted by name (letter case aside). MakeError for two
// names Windows takes for one, or for a name the medium or the install
// directory needs for itself. A file that could be stored plain under one of
// the medium's own names (Liesmich.txt) is always stored packed.
std::vector<MediumEntry> OrderEntries(std::vector<MediumEntry> entries, const std::string& mainName);

// One more [Items] line: a shortcut to entries[entry] under caption (code
// page 1252).
struct ExtraItem {
  std::size_t entry;
  std::string caption;
};
// The request's items ("FILE=CAPTION", UTF-8) for the ordered entries, after
// the main program's line under name. MakeError for a file that is not a
// product file, a second line for one file, a caption that is no file name,
// is longer than 255 characters, the list cannot carry, or another line has.
std::vector<ExtraItem> ResolveItems(const std::vector<std::string>& items, const std::vector<MediumEntry>& entries,
                                    const std::string& name);

// Setup.lst for the entries (code page 1252, Windows line ends): [General]
// Name and defaultPath, Version and Publisher where given, [StartMenu]
// Folder and [Group] Name all the name, [programfiles], [Windows] where
// entries go there, and [Items] with the main program (the first entry)
// under the name, the extra items, and "Uninstal.exe=Programm entfernen".
std::string SetupListText(const std::string& name, const std::string& installPath, const std::string& version,
                          const std::string& publisher, const std::vector<MediumEntry>& entries,
                          const std::vector<ExtraItem>& items);

// The medium's list. Its own line in [CRC32] gives the CRC-32 of the list's
// text with that line's eight digits read as "00000000".
constexpr char kListName[] = "Setup.lst";

// Where the [CRC32] line that names name has its eight digits in a list's
// text (npos: none), where the section's last line ends (npos: no
// section), and the section's highest key number.
struct ChecksumLine {
  std::size_t digits = std::string::npos;
  std::size_t sectionEnd = std::string::npos;
  std::size_t lastNumber = 0;
};
ChecksumLine FindChecksumLine(const std::string& text, const std::string& name);
// The text with its own line's digits set, where it has that line.
std::string SealedList(std::string text);

// A list's text with the checksum line for name (as the list names it)
// set to crc: the line that names it replaced, else, where add is true, one
// more line at the end of the section. A list without the section comes back
// as it was: its medium installs unchecked, and one line would make the rest
// look unchecked. The list's own line follows.
std::string ListWithChecksum(const std::string& listText, const std::string& name, std::uint32_t crc, bool add);

// MakeError for an entry whose installed path under installPath is longer
// than the platform takes.
void RequirePathLimit(const std::vector<MediumEntry>& entries, const std::string& installPath);

struct MakeReport {
  std::size_t files = 0;       // product files
  std::size_t packed = 0;      // of them packed
  unsigned long long bytesIn = 0;   // product bytes read
  unsigned long long bytesOut = 0;  // product bytes on the medium
  unsigned cores = 0;          // cores that packed
  // One line per file or folder left out: its name below the product
  // folder ("/" after a folder) and why.
  std::vector<std::string> leftOut;
};

// Called after each product file with the number done and the total.
using FileProgress = std::function<void(std::size_t done, std::size_t total)>;

// Builds the medium. Folder links below the source are followed (MakeError
// for one that leads back into itself, and for a link to nothing). MakeError for what the request gets wrong; a medium
// that could not be completed is left as far as it got.
MakeReport MakeMedium(const MakeRequest& request, const FileProgress& progress = {});

}  // namespace hzpack
