// One file of the copy run: shown on the wizard's copy page, expanded or
// copied into place, retried, skipped or given up as the user decides, and
// entered in the install log under the progress position.
#pragma once

#include "engine/install_log.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the step needs of the wizard's copy page ("Von:", "Nach:" and the
// progress bar, which the run driver advances before each file).
class CopyPage {
public:
  virtual ~CopyPage() = default;
  // The file being handled (both texts lower case). The page is drawn with
  // it when an update is due (CopyPagePacing), without processing other
  // messages.
  virtual void ShowFiles(const std::string& from, const std::string& to) = 0;
  // Draws the page at once with the file last given and the bar's position:
  // before a question about that file, and when the run is done.
  virtual void DrawNow() = 0;
  // The progress position: the number of this file's log entry.
  virtual int Position() const = 0;
};

// ---- Portable -------------------------------------------------------------

// The retry questions and the give-up message. Paths as the caller gave them
// (not lower-cased): destination directory + installed name, source
// directory + source name.
std::string CopyRetryText(const std::string& destinationPath);
std::string ExpandRetryText(const std::string& sourcePath, const std::string& destinationPath);
std::string GiveUpText(const std::string& destinationPath);

// The folders a target name's sub-path needs inside the destination
// directory, outermost first: "vorlagen\BRIEF.DOT" needs "vorlagen",
// "a\b\c.txt" needs "a" and "a\b". None for a bare name, and none at all for
// a sub-path that could lead out of the directory (a drive, a leading
// separator, an empty, "." or ".." part), so nothing is created outside it.
std::vector<std::string> TargetSubFolders(const std::string& targetName);

// Which updates of the copy page are drawn: the first, then each that comes
// at least intervalMs after the last one drawn. Drawing costs more than a
// small file's copy; more often than a few tens of times a second nobody
// reads it. Times in ms from a clock that wraps (GetTickCount).
class CopyPagePacing {
public:
  explicit CopyPagePacing(std::uint32_t intervalMs) : intervalMs_(intervalMs) {}
  // True when the update at nowMs is drawn, which then counts as the last.
  bool Due(std::uint32_t nowMs);

private:
  std::uint32_t intervalMs_;
  std::uint32_t lastMs_ = 0;
  bool drawn_ = false;
};

// ---- Win32 ----------------------------------------------------------------

// What became of a file.
enum class CopyOutcome {
  Placed,   // copied or expanded into place
  Skipped,  // the user chose "&Nein"
  GivenUp,  // failed again after "&Ja"; the user was told
  // /SUPPRESSMSGBOXES: still held after the retries, and replaced by the
  // new file at the next start of Windows
  Scheduled,
};

// Places sourceDir + sourceName as destinationDir + MapCompressedName(targetName)
// (both directories end in "\"): expanded when the source's extension ends in
// "_", else copied over an existing file and freed of the read-only
// attribute. A source without the medium's checksum (where it gives one)
// fails like one that cannot be read. Missing folders of the target's sub-path are created first. On
// failure the user chooses: "&Ja" tries once more (after 1000 ms for an
// expansion), "&Nein" skips, "Abbrechen" ends the program with
// ecCancelled. With /SUPPRESSMSGBOXES nobody is asked: the file is tried
// again for a few seconds, then replaced at the next start where Windows can
// do that, else given up. Every outcome goes into the run's account
// (/LOG). Placed, skipped and given-up files alike are then entered in
// the run's log under the page's position; a refused log write raises
// EIniFileException.
CopyOutcome CopyInstallFile(CopyPage& page, CopyRun& run, const std::string& sourceName, const std::string& targetName,
                            const std::string& sourceDir, const std::string& destinationDir,
                            const std::optional<std::uint32_t>& checksum);
