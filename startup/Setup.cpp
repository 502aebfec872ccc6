// Program entry Setup: one executable for both roles, chosen by its file name
// in the shell window's creation.
#include "startup/Fsetup.h"
#include "system/dialogs.h"
#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/program_end.h"

namespace {

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Start-up of the helper units comes before everything else.
  DataStartup();
  KvToolsStartup();

  DeclareDpiAwareOnVista();
  SetApplicationTitle("Setup");
  f_Setup = std::make_unique<Tf_Setup>();
  if (!AutoMode) f_Setup->Show();
  f_Setup->EnableTimer1();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return CopyErrors ? ecFilesGivenUp : ecCompleted;
}
