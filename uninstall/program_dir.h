// The program directory that the uninstaller offers to remove at the end, and
// the listing of it that the confirmation window shows.
#pragma once

#include "system/helpers.h"

#include <string>
#include <vector>

// Folders the uninstaller never removes, whatever its install log says.
// Besides these, "\Programme" and "\Program Files" on every drive and share
// (the programs folder of a German and of an English Windows) are never
// removed, nor any folder that holds one.
struct ProtectedFolders {
  std::vector<std::string> folders;       // these and every folder that holds one of them
  std::vector<std::string> accountRoots;  // and every folder directly inside one (a profile)
  // Given without their drive ("\Programme\Gemeinsame Dateien"): these on
  // every drive and share, and every folder that holds one.
  std::vector<std::string> onEveryDrive;
};

// Same folder, compared without regard to case and a trailing backslash.
bool SameFolder(const std::string& a, const std::string& b);
// True when two paths name the same file: the same spelling, or the same
// short form (aShort, bShort: "" when unknown), letter case aside.
bool SameFile(const std::string& a, const std::string& aShort, const std::string& b, const std::string& bShort);
// True when path lies below folder (at any depth, not the folder itself).
bool IsInsideFolder(const std::string& path, const std::string& folder);
// A drive root ("C:", "C:\"), a share root ("\\server\share") or no path.
bool IsRootFolder(const std::string& folder);

// The program directory to remove: the uninstaller's own directory, spelled
// as the log's File1 when File1 lies directly in it. The log alone must not
// decide, since File1 may name a file elsewhere (the Windows directory when
// the product has no files of its own). "" when that directory is a root or
// protected: then nothing is listed or removed.
std::string ChooseProgramDir(const std::string& file1, const std::string& ownDir,
                             const ProtectedFolders& protectedFolders);

// What becomes of the program directory at the end of the run, once the
// listed files are gone.
enum class ProgramDirFate {
  Stays,            // untouched: the uninstaller and the log stay in it
  Goes,             // deleted; the self-removal script takes the uninstaller and the directory
  KeepsUsersFiles,  // the log goes, the script takes the uninstaller, the rest stays
};

// The unattended run's answer, nobody having seen what is left: Goes when the
// directory's tree (every entry below it, as the deletion walks it) holds
// nothing but what the install put there beside the listed files: the log
// "install1.log" and the uninstaller (programName, as it was started)
// directly in it, and folders. Anything else is the user's and keeps the
// directory: a file, a listed file that stayed (in use), a folder link
// (behind it may be anything).
ProgramDirFate UnattendedProgramDirFate(const std::vector<DirEntry>& tree, const std::string& programDir,
                                        const std::string& programName);

// Win32: the folders of this system that must stay: the Windows and system
// directory, the temporary folder, every folder the shell names for the
// system or an account (application data, program files and common files,
// fonts, templates, documents, desktops, Start menus...), the shell's
// program-files and common-files folders on every drive, the profiles
// directory; each also in its short form.
ProtectedFolders SystemProtectedFolders();
// Win32: the short (8.3) form of an existing path; "" when the system gives none.
std::string ShortPathName(const std::string& path);
// Win32: true when path names the running program. A log or the registry
// spells it as the installer wrote it, the system as it was started: the
// short forms are compared too.
bool IsRunningProgram(const std::string& path);
// Win32: the spellings a log or a command line may give an existing folder:
// the folder without a trailing backslash and, when it differs, its short
// form. None for "".
std::vector<std::string> FolderSpellings(const std::string& folder);

// Every entry matching mask (files and folders alike, hidden ones and names
// beginning with "." included; only "." and ".." left out), then, when
// recursive, the entries of each subfolder the same way, depth first. Folder links are listed but not entered, as the deletion
// does not enter them either.
std::vector<DirEntry> DirTreeEntries(const std::string& mask, bool recursive);
// Appends the full path of every entry matching mask (files and folders
// alike, hidden ones and names beginning with "." included: the deletion
// takes them too, so the question shows them), then, when recursive, the
// entries of each subfolder the same way, depth first. Folder links are listed
// but not entered, as the deletion does not enter them either.
void ListDirTree(const std::string& mask, bool recursive, std::vector<std::string>& list);
// What the confirmation window lists: the directory itself, then everything
// in it as ListDirTree finds it.
std::vector<std::string> ProgramDirListing(const std::string& programDir);
