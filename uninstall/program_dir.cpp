#include "uninstall/program_dir.h"

#include "system/helpers.h"

#include <algorithm>

namespace {

std::string FolderKey(const std::string& folder) { return AnsiUpperCase(RemoveBackslash(folder)); }

bool Holds(const std::string& folder, const std::string& protectedFolder) {
  return !protectedFolder.empty() &&
         (SameFolder(folder, protectedFolder) || IsInsideFolder(protectedFolder, folder));
}

// The programs folder of a German and of an English Windows, wherever it is.
const char* const kProgramsFolders[] = {"\\Programme", "\\Program Files"};

// The folder without its drive ("C:") or share ("\\server\share").
std::string BelowRoot(const std::string& folder) {
  if (folder.compare(0, 2, "\\\\") != 0) return folder.size() >= 2 && folder[1] == ':' ? folder.substr(2) : folder;
  const std::string::size_type server = folder.find('\\', 2);
  const std::string::size_type share = server == std::string::npos ? server : folder.find('\\', server + 1);
  return share == std::string::npos ? std::string() : folder.substr(share);
}

bool IsProtected(const std::string& folder, const ProtectedFolders& protectedFolders) {
  const auto& folders = protectedFolders.folders;
  const auto& roots = protectedFolders.accountRoots;
  const auto& everyDrive = protectedFolders.onEveryDrive;
  const std::string parent = RemoveBackslash(ExtractFilePath(RemoveBackslash(folder)));
  const std::string belowRoot = BelowRoot(folder);
  const auto holdsOnThisDrive = [&](const std::string& p) { return Holds(belowRoot, BelowRoot(p)); };
  return std::any_of(folders.begin(), folders.end(), [&](const std::string& p) { return Holds(folder, p); }) ||
         std::any_of(roots.begin(), roots.end(),
                     [&](const std::string& r) { return Holds(folder, r) || (!r.empty() && SameFolder(parent, r)); }) ||
         std::any_of(std::begin(kProgramsFolders), std::end(kProgramsFolders), holdsOnThisDrive) ||
         std::any_of(everyDrive.begin(), everyDrive.end(), holdsOnThisDrive);
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b) { return FolderKey(a) == FolderKey(b); }

bool SameFile(const std::string& a, const std::string& aShort, const std::string& b, const std::string& bShort) {
  if (a.empty() || b.empty()) return false;
  return SameFolder(a, b) || (!aShort.empty() && SameFolder(aShort, bShort));
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  if (RemoveBackslash(folder).empty()) return false;
  const std::string prefix = AddBackslash(FolderKey(folder));
  const std::string key = AnsiUpperCase(path);
  return key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0;
}

bool IsRootFolder(const std::string& folder) {
  const std::string dir = RemoveBackslash(folder);
  if (dir.empty() || dir.back() == ':') return true;
  if (dir.compare(0, 2, "\\\\") != 0) return false;
  // \\server\share: one backslash after the server name.
  return std::count(dir.begin() + 2, dir.end(), '\\') <= 1;
}

std::string ChooseProgramDir(const std::string& file1, const std::string& ownDir,
                             const ProtectedFolders& protectedFolders) {
  const std::string logged = RemoveBackslash(ExtractFilePath(file1));
  const std::string own = RemoveBackslash(ownDir);
  const std::string dir = !logged.empty() && SameFolder(logged, own) ? logged : own;
  if (IsRootFolder(dir) || IsProtected(dir, protectedFolders)) return "";
  return dir;
}

ProgramDirFate UnattendedProgramDirFate(const std::vector<DirEntry>& tree, const std::string& programDir,
                                        const std::string& programName) {
  const auto placedByInstall = [&](const DirEntry& entry) {
    if (entry.link) return false;
    if (entry.directory) return true;  // what is in it comes as entries of its own
    const std::string name = AnsiUpperCase(ExtractFileName(entry.path));
    return SameFolder(ExtractFilePath(entry.path), programDir) &&
           (name == "INSTALL1.LOG" || name == AnsiUpperCase(programName));
  };
  return std::all_of(tree.begin(), tree.end(), placedByInstall) ? ProgramDirFate::Goes
                                                                 : ProgramDirFate::KeepsUsersFiles;
}
