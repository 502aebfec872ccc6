#include "uninstall/listed_files.h"

#include "system/ascii_case.h"
#include "system/helpers.h"
#include "uninstall/program_dir.h"

#include <algorithm>

namespace {

bool IsPlainPath(const std::string& path) {
  const std::string::size_type colon = path.find(':');
  if (colon != std::string::npos && (colon != 1 || path.find(':', colon + 1) != std::string::npos)) return false;
  // A share name begins with "\\": the two empty components are its mark.
  std::string::size_type start = path.compare(0, 2, "\\\\") == 0 ? 2 : 0;
  for (;;) {
    const std::string::size_type end = path.find('\\', start);
    if (!IsPlainNamePart(path.substr(start, end == std::string::npos ? std::string::npos : end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// Windows takes "/" for "\\".
std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool LiesIn(const std::string& path, const std::vector<std::string>& spellings, bool directlyOnly) {
  return std::any_of(spellings.begin(), spellings.end(), [&](const std::string& dir) {
    return directlyOnly ? !RemoveBackslash(dir).empty() && SameFolder(ExtractFilePath(path), dir)
                        : IsInsideFolder(path, dir);
  });
}

}  // namespace

ListedFilePlace PlaceOfListedFile(const std::string& file, const std::string& shortPath,
                                  const ListedFileFolders& folders) {
  const std::string path = Backslashed(file);
  if (path.empty() || !IsPlainPath(path)) return ListedFilePlace::Elsewhere;
  const std::string spellings[] = {path, Backslashed(shortPath)};
  for (const std::string& spelling : spellings)
    if (!spelling.empty() && LiesIn(spelling, folders.windowsDir, false)) return ListedFilePlace::WindowsDir;
  for (const std::string& spelling : spellings)
    if (!spelling.empty() && LiesIn(spelling, folders.programDir, folders.programDirShared))
      return ListedFilePlace::ProgramDir;
  return ListedFilePlace::Elsewhere;
}

RemovalEnd EndOfRemoval(const std::vector<ListedFileAfter>& listed, const std::vector<std::string>& sharedInUse) {
  RemovalEnd end;
  for (const ListedFileAfter& after : listed) {
    if (!after.there || after.place == ListedFilePlace::WindowsDir) continue;
    if (after.place == ListedFilePlace::ProgramDir)
      end.staying.push_back(after.file);
    else
      end.complete = false;
  }
  // The log spells what the install placed in lower case.
  for (const std::string& file : sharedInUse) end.staying.push_back(AsciiLowerCase(file));
  if (!end.staying.empty()) end.complete = false;
  return end;
}

std::string UnfinishedRemovalText(const std::vector<std::string>& staying) {
  std::string text = "Das Programm wurde nicht vollständig deinstalliert. Diese Dateien werden noch benutzt:\r";
  for (const std::string& file : staying) text += "\r" + file;
  return text + "\r\rBitte schließen Sie die Programme, die sie benutzen, und starten Sie die Deinstallation "
                "danach noch einmal.";
}

FolderNames::FolderNames(std::vector<Entry> entries) : entries_(std::move(entries)) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    exact_.emplace(entries_[i].name, i);
    folded_.emplace(AsciiLowerCase(entries_[i].name), i);  // the first one listed stays
  }
}

const FolderNames::Entry* FolderNames::Find(const std::string& name) const {
  if (const auto exact = exact_.find(name); exact != exact_.end()) return &entries_[exact->second];
  const auto folded = folded_.find(AsciiLowerCase(name));
  return folded == folded_.end() ? nullptr : &entries_[folded->second];
}
