#include "engine/copy_install_file.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/file_io.h"
#include "system/os_error.h"
#include "system/process_values.h"
#include "system/program_end.h"
#include "system/run_log.h"

namespace {

// The pause before an expansion is tried again, with the windows kept alive.
constexpr unsigned kExpandRetryWaitMs = 1000;

// With nobody to ask, a file that cannot be placed is tried again this long:
// a program that held it for a moment (a virus scanner, an indexer) has let
// go by then, one that runs has not.
constexpr unsigned kUnattendedRetryMs = 5000;
constexpr unsigned kUnattendedRetryStepMs = 500;

// Windows NT replaces a file at the next start when asked to. Windows 95 to
// ME know no such call (their kernel has at most a stub that fails), so it is
// looked up, and only a call that succeeds counts.
bool ReplaceAtNextStart(const std::string& from, const std::string& to) {
  using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  // Through void (*)(), the one function type every other converts from.
  const auto moveFileEx = reinterpret_cast<MoveFileExFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
  return moveFileEx && moveFileEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
}

// /SUPPRESSMSGBOXES: the answer that keeps the machine sound in place of the
// retry question. Tried again for a while; then, when the file's content can
// be made beside it, the target is what is held, and the new file replaces
// it at the next start. Otherwise the file is given up.
CopyOutcome PlaceWithoutAsking(const InstallFilePlan& plan) {
  for (unsigned waited = 0; waited < kUnattendedRetryMs; waited += kUnattendedRetryStepMs) {
    WaitMs(kUnattendedRetryStepMs, true);
    if (InstallFileContent(plan)) return CopyOutcome::Placed;
  }
  InstallFilePlan aside = plan;
  if (!kv::CreateTempBeside(plan.targetPath, aside.targetPath).IsOpen()) return CopyOutcome::GivenUp;
  if (InstallFileContent(aside) && ReplaceAtNextStart(aside.targetPath, plan.targetPath)) return CopyOutcome::Scheduled;
  kv::DeleteFilePath(aside.targetPath);
  return CopyOutcome::GivenUp;
}

// What the run's account says of a file.
std::string OutcomeText(CopyOutcome outcome, unsigned long error) {
  switch (outcome) {
    case CopyOutcome::Placed: return "Datei kopiert: ";
    case CopyOutcome::Skipped: return "Datei übersprungen (Antwort \"Nein\"): ";
    case CopyOutcome::Scheduled: return "Datei beim nächsten Start von Windows ersetzt (in Gebrauch): ";
    case CopyOutcome::GivenUp: break;
  }
  return "Datei aufgegeben (" + SysErrorMessage(error) + "): ";
}

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

// The retry question: "&Ja" tries once more (an expansion after a pause),
// "&Nein" skips the file.
CopyOutcome AskAndRetry(const InstallFilePlan& plan, const std::string& question) {
  if (!UserWantsRetry(question)) return CopyOutcome::Skipped;
  if (plan.expand) WaitMs(kExpandRetryWaitMs, true);
  return InstallFileContent(plan) ? CopyOutcome::Placed : CopyOutcome::GivenUp;
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
  unsigned long error = ERROR_SUCCESS;
  if (!InstallFileContent(plan)) {
    error = GetLastError();
    page.DrawNow();
    outcome = SuppressMsgBoxes ? PlaceWithoutAsking(plan)
                               : AskAndRetry(plan, plan.expand ? ExpandRetryText(sourcePath, destinationPath)
                                                               : CopyRetryText(destinationPath));
  }
  LogRun(OutcomeText(outcome, error) + destinationPath);
  if (outcome == CopyOutcome::GivenUp) ShowMessage(GiveUpText(destinationPath));
  WriteInstallLogEntry(run, page.Position(), logValue);
  return outcome;
}
