#include "engine/program_group.h"

#include "system/helpers.h"

#include <algorithm>

namespace {

constexpr char CR = '\r';

std::string InstalledIn(const std::string& path) {
  return std::string("Das Programm wurde ordnungsgemäß im Verzeichnis ") + CR + CR + path + CR + CR + "installiert!" +
         CR + CR;
}

}  // namespace

FolderSet ChooseFolderSet(const AccountFolders& account, const std::string& groupName) {
  FolderSet set;
  set.commonFolders = account.isAdministrator && account.allUsers;
  if (set.commonFolders) {
    set.userProfileDir = AddBackslash(account.profilesDir) + "All Users";
    set.programMenuRoot = AddBackslash(account.commonPrograms);
    set.desktopFolder = AddBackslash(account.commonDesktop);
  } else {
    set.userProfileDir = AddBackslash(account.profilesDir) + account.loginName;
    // An administrator's own Programs folder is joined like the common one;
    // anyone else's with a plain "\".
    set.programMenuRoot = account.isAdministrator ? AddBackslash(account.programs) : account.programs + "\\";
    set.desktopFolder = AddBackslash(account.desktop);
  }
  set.groupFolder = set.programMenuRoot + groupName;
  return set;
}

std::string UninstallKeyPath(const std::string& startMenuFolder) {
  return "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + startMenuFolder;
}

std::string UninstallDisplayName(const std::string& groupName) { return groupName + " deinstalieren"; }

std::string UninstallerPath(const std::string& installPath) { return AddBackslash(installPath) + "Uninstal.exe"; }

std::string QuotedPath(const std::string& path) { return '"' + path + '"'; }

std::string UninstallerOf(const std::string& uninstallString) {
  if (uninstallString.empty() || uninstallString.front() != '"') return uninstallString;
  return uninstallString.substr(1, uninstallString.find('"', 1) - 1);
}

std::vector<EntryValue> UninstallEntryValues(const UninstallEntryFacts& facts) {
  const std::string uninstaller = QuotedPath(UninstallerPath(facts.installPath));
  std::vector<EntryValue> values = {
      {"DisplayName", UninstallDisplayName(facts.groupName)},
      {"UninstallString", uninstaller},
      {"QuietUninstallString", uninstaller + " /s"},
      {"InstallLocation", facts.installPath},
  };
  if (!facts.mainProgFile.empty()) values.push_back({"DisplayIcon", facts.mainProgFile});
  if (!facts.version.empty()) values.push_back({"DisplayVersion", facts.version});
  if (!facts.publisher.empty()) values.push_back({"Publisher", facts.publisher});
  constexpr unsigned long long kKiB = 1024;
  constexpr unsigned long long kMaxDword = 0xFFFFFFFFull;
  const unsigned long long kib = facts.installedBytes / kKiB + (facts.installedBytes % kKiB != 0);
  values.push_back({"EstimatedSize", "", true, static_cast<unsigned long>(std::min(kib, kMaxDword))});
  values.push_back({"NoModify", "", true, 1});
  values.push_back({"NoRepair", "", true, 1});
  return values;
}

bool IsUninstallEntryName(const std::string& startMenuFolder) {
  return !startMenuFolder.empty() && startMenuFolder.front() != '\\' && startMenuFolder.back() != '\\' &&
         startMenuFolder.find("\\\\") == std::string::npos;
}

std::vector<ShortcutItem> ReadShortcutItems(const ProfileReader& list) {
  std::vector<ShortcutItem> items;
  for (auto& [file, caption] : ReadListSection(list, "Items"))
    items.push_back({file, caption.substr(0, kCaptionChars)});
  return items;
}

std::string CopyErrorsMessage(const std::string& path) {
  return std::string("Bei der Installation des Programmes in das Verzeichnis ") + CR + CR + path + CR + CR +
         "sind Fehler aufgetreten!" + CR + CR + "Bitte wiederholen Sie die Installation.";
}

std::string SuccessMessage(const std::string& path, bool rightsHint) {
  std::string text = InstalledIn(path);
  if (rightsHint) {
    text += std::string("Falls Sie das Programm für einen anderen Benutzer ") +
            "ohne Administratorenrechte installieren wollten, müssen " +
            "Sie diesem Benutzer evtl. noch Schreib- und Leserechte für das " +
            "Installationsverzeichnis verleihen, falls dieser noch nicht " + "hierrüber verfügt." + CR + CR;
  }
  return text + "Soll das Anwendungsprogramm jetzt gestartet werden?";
}

std::string VistaSuccessMessage(const std::string& path) { return InstalledIn(path); }

bool RightsHintApplies(const std::string& windowsVersionName, bool isAdministrator) {
  return isAdministrator && (windowsVersionName == "Windows NT" || windowsVersionName == "Windows 2000" ||
                             windowsVersionName == "Windows XP" || windowsVersionName == "Windows Vista");
}
