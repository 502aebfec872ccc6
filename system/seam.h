// Answers that Wine cannot give, for tests only. Under Wine the token always
// lists the Administrators group and HKEY_LOCAL_MACHINE is always writable, and
// the reported Windows version is fixed per process. Tests of the branches for
// a restricted account or another Windows version set these, and a benchmark
// build skips the uninstaller's pauses; the program never does, and nothing
// reads them from the environment or the command line.
#pragma once

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

// Read by the system unit.
const SimulatedWindowsVersion* SimulatedVersion();
bool RestrictedAccountSimulated();

// The uninstaller's pause after each deleted file, for a benchmark build that
// measures the deletion itself; the shipped program keeps the pause.
void SkipUninstallPauses(bool skip);
bool UninstallPausesSkipped();

}  // namespace seam
