// Program entry Setup: one executable for both roles, chosen by its file name
// in the shell window's creation.
#include "startup/shell_window.h"
#include "system/dialogs.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/program_end.h"
#include "system/run_log.h"
#include "uninstall/progress_window.h"

namespace {

const char kFolderNotUsable[] =
    "Setup kann nicht aus diesem Ordner gestartet werden.\r\r"
    "Der Name des Ordners enthält Zeichen, die Windows für Setup nicht darstellen kann, "
    "und das Laufwerk führt keine kurzen Namen (8.3), die an ihre Stelle treten könnten.\r\r"
    "Bitte kopieren Sie den Inhalt des Datenträgers in einen Ordner, dessen Name nur "
    "einfache Buchstaben und Ziffern enthält (zum Beispiel C:\\Setup), und starten Sie "
    "Setup dort.";

// Vista scales the windows of a program that does not declare itself
// DPI-aware; the call does not exist before Vista, so it is looked up. The
// library stays loaded: user32 lives as long as the process anyway.
void DeclareDpiAwareOnVista() {
  if (GetWindowsVersionName().find("Vista") == std::string::npos) return;
  const HMODULE user32 = LoadLibraryA("user32.dll");
  if (!user32) return;
  using SetProcessDPIAwareFn = BOOL(WINAPI*)();
  const auto setAware =
      reinterpret_cast<SetProcessDPIAwareFn>(GetProcAddress(user32, "SetProcessDPIAware"));
  if (setAware) setAware();
}

// The switches after "/s". One the program does not take, or an account it
// cannot write, ends the run before anything is installed or removed.
void TakeCommandLine() {
  const CommandLine commandLine = ReadCommandLine();
  if (!commandLine.logFile.empty() && !OpenRunLog(commandLine.logFile)) EndProgram(ecCancelled);
  if (!commandLine.rejected.empty()) {
    LogRun("Unbekannter Schalter: " + commandLine.rejected);
    EndProgram(ecCancelled);
  }
  GivenInstallDir = commandLine.directory;
  AllUsersGiven = commandLine.allUsers;
  SuppressMsgBoxes = commandLine.suppressMsgBoxes;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetApplicationTitle("Setup");
  // Every file beside the program is named through its folder's path. Before
  // the helper units start (the settings location may create a folder), make
  // sure there is a path the ANSI functions can use.
  if (GetAppPath().empty()) {
    ShowFinalMessage(kFolderNotUsable);
    EndProgram(ecFolderNotUsable);
  }
  InitProcessValues();
  TakeCommandLine();
  LocateSettingsFile();

  DeclareDpiAwareOnVista();
  TheShellWindow = std::make_unique<ShellWindow>();
  TheProgressWindow = std::make_unique<ProgressWindow>(TheShellWindow->Handle());
  LogRun("Produkt: " + ProgName);
  if (!AutoMode) TheShellWindow->Show();
  TheShellWindow->ScheduleModeWindow();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  const ExitCode code = CompletedRunCode(CopyErrors, RestartNeeded);
  LogEnd(code);
  return code;
}
