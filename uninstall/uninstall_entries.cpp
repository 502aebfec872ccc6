#include "uninstall/uninstall_entries.h"

#include "system/Kv_tools.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"

namespace {

// The system drops trailing dots and blanks of a path's parts, so a part of
// nothing else ("", ".", "..", ". ") names the folder itself or one above.
bool IsPlainPart(const std::string& part) {
  return part.find_first_not_of(". ") != std::string::npos && part.find(':') == std::string::npos;
}

bool IsPlainFileName(const std::string& name) {
  return IsPlainPart(name) && name.find_first_of("\\/") == std::string::npos;
}

}  // namespace

bool IsGroupFolderName(const std::string& groupName) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = groupName.find_first_of("\\/", start);
    if (!IsPlainPart(groupName.substr(start, end == std::string::npos ? std::string::npos : end - start)))
      return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

bool IsPlainShortcutName(const std::string& shortcutName) { return IsPlainFileName(shortcutName); }

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
