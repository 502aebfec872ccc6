// Answers that Wine cannot give, for tests only. Under Wine the token always
// lists the Administrators group and HKEY_LOCAL_MACHINE is always writable, the
// reported Windows version is fixed per process, a new process's key state
// starts empty and an 8-bit display draws garbage. Tests of those branches set
// these, and a benchmark build skips the uninstaller's pauses; the program
// never does, and nothing reads them from the environment or the command line.
#pragma once

#include "system/program_end.h"

#include <string>

struct SimulatedWindowsVersion {
  unsigned platformId;  // 1: Windows 9x family, 2: NT family
  unsigned major;
  unsigned minor;
  std::string csdVersion;  // service-pack text
};

namespace seam {

// nullptr: ask the system again.
void SimulateWindowsVersion(const SimulatedWindowsVersion* version);
// A restricted account: not in the Administrators group, and full access to
// keys under HKEY_LOCAL_MACHINE is refused.
void SimulateRestrictedAccount(bool restricted);

// A screen colour depth in bits per pixel for the shell window; 0 asks the
// screen.
void SimulateScreenBitsPerPixel(int bitsPerPixel);

// Shift and Ctrl as the shell window's creation sees them; nullptr asks the
// keyboard.
struct SimulatedKeys {
  bool shift;
  bool ctrl;
};
void SimulateKeysAtStart(const SimulatedKeys* keys);

// Tests of code paths that end the program run them in the test's own
// process: while intercepted, EndProgram throws ProgramEnded instead.
struct ProgramEnded {
  ExitCode code;
};
void InterceptProgramEnd(bool intercept);

// Read by the program.
const SimulatedWindowsVersion* SimulatedVersion();
bool RestrictedAccountSimulated();
int SimulatedBitsPerPixel();
const SimulatedKeys* SimulatedKeysAtStart();
bool ProgramEndIntercepted();

// The uninstaller's pause after each deleted file, for a benchmark build that
// measures the deletion itself; the shipped program keeps the pause.
void SkipUninstallPauses(bool skip);
bool UninstallPausesSkipped();

}  // namespace seam
