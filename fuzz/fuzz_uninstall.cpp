// libFuzzer target for the uninstaller's decisions on a log it cannot trust
// (the log lies in the program directory, which its user may write): any
// Install1.log, with the uninstaller in one of a few typical or dangerous
// directories ([KvFuzz] OwnDir, a number). The directory offered for
// removal is the uninstaller's own or none, never a root or a folder that
// holds a protected one; and a listed file is deleted only where it
// resolves to a path inside the program directory (directly inside where
// that directory is shared) or the Windows directory, and one inside the
// Windows directory only by its use count.
#include "fuzz/fuzz_support.h"
#include "system/setup_list.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"

#include <iterator>

namespace {

using fuzz::Check;
using fuzz::ResolvedPath;
using fuzz::ResolvesBelow;

constexpr char kWindowsDir[] = "C:\\WINDOWS";
const char* const kOwnDirs[] = {"C:\\Programme\\Demo", "C:\\Programme",          "C:\\",
                                "C:\\WINDOWS",         "C:\\WINDOWS\\Demo",       "C:\\Dokumente und Einstellungen\\anna",
                                "D:\\Demo",            "C:\\Dokumente und Einstellungen\\anna\\Demo",
                                "C:\\Programme\\Gemeinsame Dateien\\Demo", "C:\\Program Files"};

const ProtectedFolders kProtected{{kWindowsDir, "C:\\Dokumente und Einstellungen\\anna\\Eigene Dateien"},
                                  {"C:\\Dokumente und Einstellungen"},
                                  {"\\Programme\\Gemeinsame Dateien"}};

// Equal to or above folder: removing dir would remove folder.
bool Holds(const std::string& dir, const std::string& folder) {
  return ResolvedPath(dir) == ResolvedPath(folder) || ResolvesBelow(folder, dir);
}

void CheckProgramDir(const std::string& chosen, const std::string& ownDir) {
  if (chosen.empty()) return;
  const std::vector<std::string> at = ResolvedPath(chosen);
  Check(at == ResolvedPath(ownDir), "the directory offered for removal is the uninstaller's own", chosen);
  Check(at.size() > 1, "no drive root is offered for removal");
  const std::string drive = at[0];
  for (const std::string& folder : kProtected.folders)
    Check(!Holds(chosen, folder), "no protected folder is offered for removal, nor one that holds it");
  for (const std::string& root : kProtected.accountRoots)
    Check(!Holds(chosen, root) && !fuzz::ResolvesDirectlyIn(chosen, root), "no account's profile is offered for removal");
  for (const std::string& folder : kProtected.onEveryDrive)
    Check(!Holds(chosen, drive + folder), "no protected folder of a drive is offered for removal");
  for (const char* programs : {"\\Programme", "\\Program Files"})
    Check(!Holds(chosen, drive + programs), "no programs folder is offered for removal");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(data, data + size);
  // A zero ends a text for the profile functions; logs hold none.
  if (text.find('\0') != std::string::npos) return 0;
  const ProfileReader log = ProfileOfText(text);
  const std::vector<std::string> files = ReadNumberedList(log, "InstalledFiles", "File");
  long long choice = 0;
  ParseListInteger(ReadListString(log, "KvFuzz", "OwnDir", "0"), choice);
  const std::string ownDir = kOwnDirs[static_cast<unsigned long long>(choice) % std::size(kOwnDirs)];

  const std::string chosen = ChooseProgramDir(files.empty() ? "" : files.front(), ownDir, kProtected);
  CheckProgramDir(chosen, ownDir);

  const ListedFileFolders folders{{ownDir}, chosen.empty(), {kWindowsDir}};
  for (const std::string& file : files) {
    switch (PlaceOfListedFile(file, "", folders)) {
      case ListedFilePlace::ProgramDir:
        Check(folders.programDirShared ? fuzz::ResolvesDirectlyIn(file, ownDir) : ResolvesBelow(file, ownDir),
              "a file deleted as the program's lies in the program directory", file + " in " + ownDir);
        Check(!ResolvesBelow(file, kWindowsDir), "a file of the Windows directory goes by its count, wherever the "
              "uninstaller lies", file + " in " + ownDir);
        break;
      case ListedFilePlace::WindowsDir:
        Check(ResolvesBelow(file, kWindowsDir), "a file deleted from the Windows directory lies in it", file);
        break;
      case ListedFilePlace::Elsewhere:
        break;
    }
  }
  return 0;
}
