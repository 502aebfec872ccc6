// Drives one uninstall as a user does and times its deletion, for
// run-nsis-compare.sh (Win32, under Wine):
//
//   uninstall_driver UNINSTAL.EXE
//
// Presses "&Weiter >>", answers "&Ja" to the question, and prints the
// milliseconds from that answer until the question about the program
// directory appears, that is the deletion of the listed files; then lets the
// directory go and confirms the closing message. Exit status 0 when the
// uninstaller ended with 0, else 1.
#include "tools/uidriver/uidriver.h"

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 600000;

bool Answer(DWORD process, const char* button) {
  const HWND box = uidriver::WaitForDialog(process, kTimeoutMs);
  return box && uidriver::PressDialogButton(box, button);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: uninstall_driver UNINSTAL.EXE\n");
    return 2;
  }
  const uidriver::Process run = uidriver::Process::Launch(argv[1], "", kTimeoutMs);
  const HWND window = uidriver::WaitForTopWindow(run.Id(), "Tf_Uninstal", "", kTimeoutMs);
  if (!window) {
    std::fprintf(stderr, "no uninstall window\n");
    return 1;
  }
  uidriver::Click(uidriver::FindChild(window, "Button", "&Weiter >>"));
  if (!Answer(run.Id(), "&Ja")) {
    std::fprintf(stderr, "no question\n");
    return 1;
  }
  const DWORD start = GetTickCount();
  const HWND ask = uidriver::WaitForTopWindow(run.Id(), "Tf_Ask", "Sicherheitsabfrage!", kTimeoutMs);
  const DWORD deleted = GetTickCount() - start;
  if (!ask) {
    std::fprintf(stderr, "no question about the directory\n");
    return 1;
  }
  uidriver::Click(uidriver::FindChild(ask, "Button", "Ja, Dateien löschen !!"));
  if (!Answer(run.Id(), "OK") || !run.WaitForExit(kTimeoutMs) || run.ExitCode() != 0) {
    std::fprintf(stderr, "the uninstall did not end with 0\n");
    return 1;
  }
  std::printf("%lu\n", static_cast<unsigned long>(deleted));
  return 0;
}
