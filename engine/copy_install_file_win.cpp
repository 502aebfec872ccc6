#include "engine/copy_install_file.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/program_end.h"

namespace {

// The pause before an expansion is tried again, with the windows kept alive.
constexpr unsigned kExpandRetryWaitMs = 1000;

// True for "&Ja" (also Enter); "&Nein" gives false; "Abbrechen", Escape and
// closing the box end the program here.
bool UserWantsRetry(const std::string& question) {
  switch (MessageDlg(question, DialogKind::Warning, dbYes | dbNo | dbCancel, IDYES)) {
    case IDYES:
      return true;
    case IDNO:
      return false;
    default:
      EndProgram(ecCancelled);
  }
}

}  // namespace

CopyOutcome CopyInstallFile(CopyPage& page, CopyRun& run, const std::string& sourceName, const std::string& targetName,
                            const std::string& sourceDir, const std::string& destinationDir,
                            const std::optional<std::uint32_t>& checksum) {
  const std::string installedName = MapCompressedName(targetName);
  const std::string sourcePath = sourceDir + sourceName;
  const std::string destinationPath = destinationDir + installedName;
  const std::string logValue = AsciiLowerCase(destinationPath);
  page.ShowFiles(AsciiLowerCase(sourcePath), logValue);

  const InstallFilePlan plan = PlanInstallFile(sourceName, targetName, sourceDir, destinationDir, checksum);
  // A listed file may sit in a sub-folder ("vorlagen\BRIEF.DO_") that the
  // destination does not have yet. Asking is cheaper than a refused creation,
  // which takes a round trip to the Wine server for each file of the folder.
  for (const std::string& folder : TargetSubFolders(installedName)) {
    const std::string path = AddBackslash(destinationDir) + folder;
    if (!DirectoryExists(path)) ::CreateDirectoryA(path.c_str(), nullptr);
  }

  CopyOutcome outcome = CopyOutcome::Placed;
  if (!InstallFileContent(plan)) {
    const std::string question =
        plan.expand ? ExpandRetryText(sourcePath, destinationPath) : CopyRetryText(destinationPath);
    outcome = CopyOutcome::Skipped;
    page.DrawNow();
    if (UserWantsRetry(question)) {
      if (plan.expand) WaitMs(kExpandRetryWaitMs, true);
      outcome = InstallFileContent(plan) ? CopyOutcome::Placed : CopyOutcome::GivenUp;
      if (outcome == CopyOutcome::GivenUp) ShowMessage(GiveUpText(destinationPath));
    }
  }
  WriteInstallLogEntry(run, page.Position(), logValue);
  return outcome;
}
