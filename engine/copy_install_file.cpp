#include "engine/copy_install_file.h"

#include "system/helpers.h"

namespace {

// Message lines end in a carriage return alone.
constexpr char CR = '\r';
constexpr char kMakeSure[] =
    "Stellen Sie bitte sicher, das eine bereits existierende Datei nicht von "
    "einem anderen Programm geöffnet ist oder die zu überschreibende Programmdatei ";
constexpr char kButtonsHelp[] =
    "Drücken Sie \"Ja\" für erneuten Versuch, \"Nein\" für überspringen, \"Abrechen\" für Installationsabbruch.";

}  // namespace

std::string CopyRetryText(const std::string& destinationPath) {
  return "Die Datei " + destinationPath + CR + "konnnte nicht kopiert werden!" + CR + CR + "Erneut versuchen ?" + CR +
         CR + kMakeSure + "nicht gerade ausgeführt wird!" + CR + CR + kButtonsHelp;
}

std::string ExpandRetryText(const std::string& sourcePath, const std::string& destinationPath) {
  return "Die Datei " + sourcePath + CR + CR + "konnte nicht nach " + CR + CR + destinationPath +
         " kopiert werden!" + CR + CR + "Erneut versuchen ?" + CR + CR + kMakeSure + "nicht gerade ausgeführt wird !" +
         CR + CR + kButtonsHelp;
}

std::string GiveUpText(const std::string& destinationPath) {
  return "Datei " + destinationPath + " konnte nicht kopiert werden!";
}

std::vector<std::string> TargetSubFolders(const std::string& targetName) {
  std::vector<std::string> folders;
  if (!StaysInsideFolder(targetName)) return folders;
  // Windows takes "/" for a separator as well.
  for (auto end = targetName.find_first_of("\\/"); end != std::string::npos;
       end = targetName.find_first_of("\\/", end + 1))
    folders.push_back(targetName.substr(0, end));
  return folders;
}

bool CopyPagePacing::Due(std::uint32_t nowMs) {
  // The difference in unsigned arithmetic holds across the clock's wrap.
  if (drawn_ && nowMs - lastMs_ < intervalMs_) return false;
  drawn_ = true;
  lastMs_ = nowMs;
  return true;
}
