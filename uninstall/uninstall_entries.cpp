#include "uninstall/uninstall_entries.h"

#include "system/helpers.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"

namespace {

// One part of a path, named by the rule every name of the program follows.
bool IsPlainFileName(const std::string& name) {
  return name.find_first_of("\\/") == std::string::npos && StaysInsideFolder(name);
}

}  // namespace

bool IsGroupFolderName(const std::string& groupName) { return StaysInsideFolder(groupName); }

bool IsPlainShortcutName(const std::string& shortcutName) {
  return IsPlainFileName(shortcutName) && shortcutName.find_first_of("*?<>\"") == std::string::npos;
}

bool IsProfileFolder(const std::string& userProfileDir, const std::string& profilesDir, FolderKind kind) {
  const std::string name = ExtractFileName(userProfileDir);
  if (RemoveBackslash(profilesDir).empty() || !IsPlainFileName(name) ||
      !SameFolder(ExtractFilePath(userProfileDir), profilesDir))
    return false;
  return kind != FolderKind::Link || SameFolder(name, "All Users");
}

ShortcutFolders ChooseShortcutFolders(const ShortcutFacts& facts,
                                      const std::function<FolderKind(const std::string&)>& kindOf) {
  if (facts.startMenu.empty()) return {};
  const std::string& log = facts.userProfileDir;
  const bool profile = IsProfileFolder(log, facts.profilesDir, log.empty() ? FolderKind::Missing : kindOf(log));
  const bool allUsers = profile && SameFolder(ExtractFileName(log), "All Users");
  const ShortcutFolders& shell = allUsers ? facts.common : facts.user;
  // A log's profile that is none is not looked into: the running user's
  // shell folders are searched instead.
  const std::string menu = profile ? AddBackslash(log) + "Startmenü" : log.empty() ? facts.startMenu : "";
  const std::string desk = profile ? AddBackslash(log) + "Desktop" : log.empty() ? facts.desktop : "";
  // A classic folder counts only as a real folder reached without a link.
  const auto isFolder = [&](const std::string& folder) {
    return !folder.empty() && kindOf(folder) == FolderKind::Plain;
  };
  const std::string programs = AddBackslash(menu) + "Programme";
  ShortcutFolders result;
  result.programs = isFolder(menu) && isFolder(programs) ? programs : shell.programs;
  result.startMenu = isFolder(menu) ? menu : shell.startMenu;
  if (!facts.desktop.empty()) result.desktop = isFolder(desk) ? desk : shell.desktop;
  return result;
}

bool IsProductShortcut(const LinkFile& file, const std::vector<std::string>& programDir) {
  return !file.directory && !file.link &&
         PlaceOfListedFile(file.target, "", ListedFileFolders{programDir, false, {}}) == ListedFilePlace::ProgramDir;
}
