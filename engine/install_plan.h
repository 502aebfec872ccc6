// The files of one install run as plain values: which listed file goes to
// which directory, under which name and log number, in the order the run
// handles them. The install run places the files of this plan; the medium
// check predicts the install from the same plan.
#pragma once

#include "system/setup_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The list's section of checksums: one line per medium file, any key, the
// value the file's CRC-32 in eight hexadecimal digits, a blank and the
// file's name ("3610A686 DEMO.EX_"). Older setup programs never read it.
constexpr char kChecksumSection[] = "CRC32";
struct MediumChecksum {
  std::string name;
  std::uint32_t crc;
};
std::string ChecksumValue(const MediumChecksum& checksum);
// None for a value that is no such line.
std::optional<MediumChecksum> ParseChecksumValue(const std::string& value);
// Whether two names on the medium are one file to Windows: letter case
// aside, "/" or "\" between folders.
bool SameMediumName(const std::string& a, const std::string& b);

// What the install run reads of the setup list's file sections.
struct InstallList {
  std::vector<std::string> programFiles;  // [programfiles] "1" to "N"; the first is the main program
  std::vector<std::string> windowsFiles;  // [Windows] "1" to "N"
  // [SystemDepended]: a Windows version name and its ";"-separated files.
  std::vector<std::pair<std::string, std::string>> systemDepended;
  // [CRC32]; the first line for a name counts.
  std::vector<MediumChecksum> checksums = {};
};
InstallList ReadInstallList(const ProfileReader& list);

// Whether a listed name would not stay inside its destination directory
// (StaysInsideFolder): a drive ("C:\x", "C:x"), a leading separator (the root
// of the drive, or a UNC name "\\server\share"), an empty part ("sub\\b.txt",
// which neither the copy step nor the uninstaller takes for a file inside), or
// a part made of dots and blanks alone ("..", and "..." or ". ." that Windows
// trims to ".." or "."). "/" separates like "\". An empty name is a missing
// entry, not one that leaves.
bool LeavesDestination(const std::string& name);

// Whether the run reads the [SystemDepended] key on some Windows: the key is
// one of the version names (WindowsVersionNames), matched as the profile
// functions match keys, without regard to letter case.
bool NamesWindowsVersion(const std::string& key);

// The longest paths the Windows versions this program runs on take: a file's
// (MAX_PATH without its terminator) and a folder's (CreateDirectory keeps
// room for an 8.3 name in it). A longer installed path fails every time.
constexpr std::size_t kMaxFilePath = 259;
constexpr std::size_t kMaxFolderPath = 247;
// Why the installed path is longer than the platform takes, or "".
std::string PathLimitFault(const std::string& installedPath);

struct PlannedFile {
  enum class Step {
    Place,    // copied or expanded into place
    Refuse,   // its name leaves the destination directory: never placed
    TooLong,  // its installed path is longer than the platform takes: given up
  };
  std::string sourceName;      // on the medium, relative to the setup program's directory
  std::string targetName;      // as listed ("Uninstal.exe" for the setup program itself)
  std::string destinationDir;  // the install or the Windows directory, with trailing backslash
  std::string installedName;   // MapCompressedName(targetName)
  int logNumber = 0;           // the progress position: the key "File" + number in the log
  Step step = Step::Place;
  bool mainProgram = false;    // the first [programfiles] entry
  // A [programfiles] entry whose name holds "beispiel." (any letter case):
  // not copied while the install directory holds the sample database.
  bool sample = false;
  // Placed in the Windows directory (a [Windows] entry, or any but the
  // uninstaller when the install directory lies there): other products may
  // share the file, so its use count goes up when it is placed.
  bool shared = false;
  // The medium file's CRC-32 from the list, where it gives one: a file
  // that does not have it is not placed.
  std::optional<std::uint32_t> checksum;

  std::string InstalledPath() const { return destinationDir + installedName; }
};

struct InstallPlan {
  // [programfiles], then [Windows], then [SystemDepended] for the running
  // version, then the uninstaller; numbered from 1 in this order, so a kept
  // sample file or a refused name leaves a gap in the log and the
  // uninstaller has the highest number.
  std::vector<PlannedFile> files;
  // The installed path of the main program; "" when there is none or its
  // name is refused.
  std::string mainProgFile;
};

// installPath and windowsDir with or without trailing backslash.
InstallPlan PlanInstall(const InstallList& list, const std::string& installPath, const std::string& windowsDir,
                        const std::string& windowsVersionName);

// The sample database whose presence keeps the sample files.
constexpr char kSampleDatabase[] = "Beispiel.hdb";

// What the run does with a planned file when its turn comes.
enum class FileTurn {
  Place,       // copy or expand it
  KeepSample,  // a sample file while the user's sample database is there: nothing is copied
  Refuse,      // never placed, never logged; the user is told and the run counts as failed (also a path too long)
};
// sampleDatabaseExists: whether the install directory holds kSampleDatabase
// at that moment, so one that an earlier entry of the run placed counts. A
// refused name is refused whatever else holds.
FileTurn TurnOf(const PlannedFile& file, bool sampleDatabaseExists);
