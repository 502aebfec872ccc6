// Linked into the benchmark build of the program (SETUPNP.EXE): the
// uninstaller deletes without its pause after each file, so a benchmark sees
// what the deletion itself costs. Set before WinMain runs.
#include "system/seam.h"

namespace {
const bool kPausesSkipped = (seam::SkipUninstallPauses(true), true);
}  // namespace
