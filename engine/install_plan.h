// The files of one install run as plain values: which listed file goes to
// which directory, under which name and log number, in the order the run
// handles them. The install run places the files of this plan; the medium
// check predicts the install from the same plan.
#pragma once

#include "system/setup_list.h"

#include <string>
#include <utility>
#include <vector>

// What the install run reads of the setup list's file sections.
struct InstallList {
  std::vector<std::string> programFiles;  // [programfiles] "1" to "N"; the first is the main program
  std::vector<std::string> windowsFiles;  // [Windows] "1" to "N"
  // [SystemDepended]: a Windows version name and its ";"-separated files.
  std::vector<std::pair<std::string, std::string>> systemDepended;
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

struct PlannedFile {
  enum class Step {
    Place,   // copied or expanded into place
    Refuse,  // its name leaves the destination directory: never placed
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
  Refuse,      // never placed, never logged; the user is told and the run counts as failed
};
// sampleDatabaseExists: whether the install directory holds kSampleDatabase
// at that moment, so one that an earlier entry of the run placed counts. A
// refused name is refused whatever else holds.
FileTurn TurnOf(const PlannedFile& file, bool sampleDatabaseExists);
