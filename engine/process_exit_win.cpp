#include "engine/process_exit.h"

#include "system/win.h"

namespace {
void (*g_exitReplacement)(unsigned) = nullptr;
}  // namespace

void seam::ReplaceProcessExit(void (*exit)(unsigned)) { g_exitReplacement = exit; }

void EndProgramAtOnce(unsigned exitCode) {
  if (g_exitReplacement) g_exitReplacement(exitCode);
  ::ExitProcess(exitCode);
}
